// The SWF records shared by many tags: rectangle, colour, matrix and colour transform.
#pragma once

#include <cstdint>

#include "swf/byte_writer.h"

namespace swf {

constexpr int kTwipsPerPixel = 20;
constexpr std::int32_t Twips(double pixels) {
  return static_cast<std::int32_t>(pixels * kTwipsPerPixel + (pixels < 0 ? -0.5 : 0.5));
}

struct Rect {  // twips
  std::int32_t xMin, xMax, yMin, yMax;
};

struct Rgba {
  std::uint8_t r, g, b, a = 255;
};

// x' = scaleX*x + skew1*y + translateX; y' = skew0*x + scaleY*y + translateY (twips).
struct Matrix {
  double scaleX = 1, scaleY = 1, skew0 = 0, skew1 = 0;
  std::int32_t translateX = 0, translateY = 0;

  static Matrix Translate(std::int32_t x, std::int32_t y) { return {1, 1, 0, 0, x, y}; }
};

// Multipliers in 8.8 fixed point (256 is 1.0), additions in colour units.
struct ColorTransform {
  std::int16_t multiply[4] = {256, 256, 256, 256};  // r, g, b, a
  std::int16_t add[4] = {0, 0, 0, 0};
};

void WriteRect(ByteWriter& out, const Rect& rect);
void WriteRgb(ByteWriter& out, const Rgba& colour);
void WriteRgba(ByteWriter& out, const Rgba& colour);
void WriteMatrix(ByteWriter& out, const Matrix& matrix);
void WriteColorTransformWithAlpha(ByteWriter& out, const ColorTransform& transform);

}  // namespace swf
