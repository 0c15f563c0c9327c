#include "swf/records.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace swf {
namespace {

std::int32_t Fixed16(double value) { return static_cast<std::int32_t>(std::lround(value * 65536)); }

constexpr std::int32_t kGradientSquare = 32768;

}  // namespace

Matrix GradientOntoCircle(std::int32_t centreX, std::int32_t centreY, std::int32_t radius) {
  const double scale = 2.0 * radius / kGradientSquare;
  return {scale, scale, 0, 0, centreX, centreY};
}

void WriteRect(ByteWriter& out, const Rect& rect) {
  const int bits = SignedBits({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
  BitWriter fields(out);
  fields.Unsigned(5, static_cast<std::uint32_t>(bits));
  for (std::int32_t value : {rect.xMin, rect.xMax, rect.yMin, rect.yMax}) fields.Signed(bits, value);
}

void WriteRgb(ByteWriter& out, const Rgba& colour) {
  out.U8(colour.r);
  out.U8(colour.g);
  out.U8(colour.b);
}

void WriteRgba(ByteWriter& out, const Rgba& colour) {
  WriteRgb(out, colour);
  out.U8(colour.a);
}

void WriteMatrix(ByteWriter& out, const Matrix& matrix) {
  BitWriter fields(out);
  const std::int32_t scaleX = Fixed16(matrix.scaleX), scaleY = Fixed16(matrix.scaleY);
  const bool hasScale = scaleX != 65536 || scaleY != 65536;
  fields.Flag(hasScale);
  if (hasScale) {
    const int bits = SignedBits({scaleX, scaleY});
    fields.Unsigned(5, static_cast<std::uint32_t>(bits));
    fields.Signed(bits, scaleX);
    fields.Signed(bits, scaleY);
  }
  const std::int32_t skew0 = Fixed16(matrix.skew0), skew1 = Fixed16(matrix.skew1);
  const bool hasRotate = skew0 != 0 || skew1 != 0;
  fields.Flag(hasRotate);
  if (hasRotate) {
    const int bits = SignedBits({skew0, skew1});
    fields.Unsigned(5, static_cast<std::uint32_t>(bits));
    fields.Signed(bits, skew0);
    fields.Signed(bits, skew1);
  }
  const bool hasTranslate = matrix.translateX != 0 || matrix.translateY != 0;
  const int bits = hasTranslate ? SignedBits({matrix.translateX, matrix.translateY}) : 0;
  fields.Unsigned(5, static_cast<std::uint32_t>(bits));
  if (hasTranslate) {
    fields.Signed(bits, matrix.translateX);
    fields.Signed(bits, matrix.translateY);
  }
}

void WriteColorTransformWithAlpha(ByteWriter& out, const ColorTransform& transform) {
  const auto& m = transform.multiply;
  const auto& a = transform.add;
  const bool hasMultiply = m[0] != 256 || m[1] != 256 || m[2] != 256 || m[3] != 256;
  const bool hasAdd = a[0] != 0 || a[1] != 0 || a[2] != 0 || a[3] != 0;
  int bits = 1;
  if (hasMultiply) bits = std::max(bits, SignedBits({m[0], m[1], m[2], m[3]}));
  if (hasAdd) bits = std::max(bits, SignedBits({a[0], a[1], a[2], a[3]}));
  BitWriter fields(out);
  fields.Flag(hasAdd);
  fields.Flag(hasMultiply);
  fields.Unsigned(4, static_cast<std::uint32_t>(bits));
  if (hasMultiply) for (std::int16_t value : m) fields.Signed(bits, value);
  if (hasAdd) for (std::int16_t value : a) fields.Signed(bits, value);
}

void WriteGradient(ByteWriter& out, const std::vector<GradientRecord>& records) {
  if (records.empty() || records.size() > 8) throw std::logic_error("a gradient of 1 to 8 records");
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].ratio < records[i - 1].ratio) throw std::logic_error("gradient ratios descend");
  }
  out.U8(static_cast<std::uint8_t>(records.size()));  // spread and interpolation modes 0
  for (const GradientRecord& record : records) {
    out.U8(record.ratio);
    WriteRgba(out, record.colour);
  }
}

}  // namespace swf
