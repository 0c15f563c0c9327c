// The SWF records shared by many tags: rectangle, colour, matrix, colour transform and gradient.
#pragma once

#include <cstdint>
#include <vector>

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

// A gradient's colour at `ratio`: 0 at its centre, 255 at its edge.
struct GradientRecord {
  std::uint8_t ratio;
  Rgba colour;
};

// A gradient is drawn on a square of 32768 twips about the origin; this matrix lays the circle
// inscribed in that square onto the circle of `radius` twips about the centre.
Matrix GradientOntoCircle(std::int32_t centreX, std::int32_t centreY, std::int32_t radius);

void WriteRect(ByteWriter& out, const Rect& rect);
void WriteRgb(ByteWriter& out, const Rgba& colour);
void WriteRgba(ByteWriter& out, const Rgba& colour);
void WriteMatrix(ByteWriter& out, const Matrix& matrix);
void WriteColorTransformWithAlpha(ByteWriter& out, const ColorTransform& transform);
// Pad spread and plain colour interpolation. A shape of DefineShape3 takes 1 to 8 records, their
// ratios ascending; anything else throws std::logic_error.
void WriteGradient(ByteWriter& out, const std::vector<GradientRecord>& records);

}  // namespace swf
