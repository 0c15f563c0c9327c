#include "swf/shape.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace swf {

int Shape::AddFill(const Rgba& colour) {
  fills_.push_back(colour);
  return static_cast<int>(fills_.size());
}

int Shape::AddRadialFill(std::int32_t centreX, std::int32_t centreY, std::int32_t radius,
                         std::vector<GradientRecord> records) {
  fills_.push_back(RadialFill{GradientOntoCircle(centreX, centreY, radius), std::move(records)});
  return static_cast<int>(fills_.size());
}

int Shape::AddLine(std::uint16_t widthTwips, const Rgba& colour) {
  lines_.emplace_back(widthTwips, colour);
  return static_cast<int>(lines_.size());
}

void Shape::Include(std::int32_t x, std::int32_t y) {
  if (empty_) {
    bounds_ = {x, x, y, y};
    empty_ = false;
    return;
  }
  bounds_.xMin = std::min(bounds_.xMin, x);
  bounds_.xMax = std::max(bounds_.xMax, x);
  bounds_.yMin = std::min(bounds_.yMin, y);
  bounds_.yMax = std::max(bounds_.yMax, y);
}

void Shape::MoveTo(std::int32_t x, std::int32_t y, int fill, int line) {
  edges_.push_back({Edge::Move, x, y, 0, 0, fill, line});
  Include(x, y);
}

void Shape::LineTo(std::int32_t x, std::int32_t y) {
  edges_.push_back({Edge::Line, x, y, 0, 0, 0, 0});
  Include(x, y);
}

void Shape::CurveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y) {
  edges_.push_back({Edge::Curve, x, y, controlX, controlY, 0, 0});
  Include(controlX, controlY);
  Include(x, y);
}

void Shape::Circle(std::int32_t centreX, std::int32_t centreY, std::int32_t radius, int fill,
                   int line) {
  // Eight quadratic arcs; each control point lies where the arc's end tangents meet.
  constexpr int kArcs = 8;
  constexpr double kPi = 3.14159265358979323846;
  const double controlRadius = radius / std::cos(kPi / kArcs);
  auto at = [&](double r, int eighth, double offset) {
    const double angle = (eighth + offset) * 2 * kPi / kArcs;
    return std::pair<std::int32_t, std::int32_t>(
        centreX + static_cast<std::int32_t>(std::lround(r * std::cos(angle))),
        centreY + static_cast<std::int32_t>(std::lround(r * std::sin(angle))));
  };
  const auto start = at(radius, 0, 0);
  MoveTo(start.first, start.second, fill, line);
  for (int arc = 0; arc < kArcs; ++arc) {
    const auto control = at(controlRadius, arc, 0.5);
    const auto end = arc + 1 == kArcs ? start : at(radius, arc + 1, 0);
    CurveTo(control.first, control.second, end.first, end.second);
  }
}

void Shape::Rectangle(const Rect& rect, int fill, int line) {
  MoveTo(rect.xMin, rect.yMin, fill, line);
  LineTo(rect.xMax, rect.yMin);
  LineTo(rect.xMax, rect.yMax);
  LineTo(rect.xMin, rect.yMax);
  LineTo(rect.xMin, rect.yMin);
}

Bytes Shape::DefineShape3(std::uint16_t id) const {
  ByteWriter out;
  out.U16(id);
  std::uint16_t widest = 0;
  for (const auto& line : lines_) widest = std::max(widest, line.first);
  const std::int32_t margin = (widest + 1) / 2;
  WriteRect(out, {bounds_.xMin - margin, bounds_.xMax + margin, bounds_.yMin - margin,
                  bounds_.yMax + margin});

  out.U8(static_cast<std::uint8_t>(fills_.size()));
  for (const auto& fill : fills_) {
    if (const Rgba* colour = std::get_if<Rgba>(&fill)) {
      out.U8(0x00);  // solid fill
      WriteRgba(out, *colour);
    } else {
      const RadialFill& radial = std::get<RadialFill>(fill);
      out.U8(0x12);  // radial gradient fill
      WriteMatrix(out, radial.matrix);
      WriteGradient(out, radial.records);
    }
  }
  out.U8(static_cast<std::uint8_t>(lines_.size()));
  for (const auto& [width, colour] : lines_) {
    out.U16(width);
    WriteRgba(out, colour);
  }

  const int fillBits = UnsignedBits(static_cast<std::uint32_t>(fills_.size()));
  const int lineBits = UnsignedBits(static_cast<std::uint32_t>(lines_.size()));
  BitWriter bits(out);
  bits.Unsigned(4, static_cast<std::uint32_t>(fillBits));
  bits.Unsigned(4, static_cast<std::uint32_t>(lineBits));
  std::int32_t penX = 0, penY = 0;
  for (const Edge& edge : edges_) {
    if (edge.kind == Edge::Move) {
      bits.Unsigned(6, 0b001111);  // style change: line style, fill 1, fill 0, move
      const int moveBits = SignedBits({edge.x, edge.y});
      bits.Unsigned(5, static_cast<std::uint32_t>(moveBits));
      bits.Signed(moveBits, edge.x);
      bits.Signed(moveBits, edge.y);
      bits.Unsigned(fillBits, 0);
      bits.Unsigned(fillBits, static_cast<std::uint32_t>(edge.fill));
      bits.Unsigned(lineBits, static_cast<std::uint32_t>(edge.line));
    } else if (edge.kind == Edge::Line) {
      const std::int32_t dx = edge.x - penX, dy = edge.y - penY;
      const int n = SignedBits({dx, dy}, 2);
      bits.Unsigned(2, 0b11);  // edge, straight
      bits.Unsigned(4, static_cast<std::uint32_t>(n - 2));
      const bool general = dx != 0 && dy != 0;
      bits.Flag(general);
      if (general) {
        bits.Signed(n, dx);
        bits.Signed(n, dy);
      } else {
        bits.Flag(dx == 0);  // vertical
        bits.Signed(n, dx == 0 ? dy : dx);
      }
    } else {
      const std::int32_t cx = edge.controlX - penX, cy = edge.controlY - penY;
      const std::int32_t ax = edge.x - edge.controlX, ay = edge.y - edge.controlY;
      const int n = SignedBits({cx, cy, ax, ay}, 2);
      bits.Unsigned(2, 0b10);  // edge, curved
      bits.Unsigned(4, static_cast<std::uint32_t>(n - 2));
      for (std::int32_t value : {cx, cy, ax, ay}) bits.Signed(n, value);
    }
    penX = edge.x;
    penY = edge.y;
  }
  bits.Unsigned(6, 0);  // end of shape
  bits.Flush();
  return out.Data();
}

}  // namespace swf
