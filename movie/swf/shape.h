// A shape of filled and stroked paths, written as a DefineShape3 (colours with alpha): solid
// and radial gradient fills, solid lines.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "swf/byte_writer.h"
#include "swf/records.h"

namespace swf {

class Shape {
 public:
  // Style indices start at 1; 0 means none.
  int AddFill(const Rgba& colour);
  // A radial gradient over the circle of `radius` twips about the centre; the last record's
  // colour fills what lies beyond it.
  int AddRadialFill(std::int32_t centreX, std::int32_t centreY, std::int32_t radius,
                    std::vector<GradientRecord> records);
  int AddLine(std::uint16_t widthTwips, const Rgba& colour);

  // Coordinates in twips. A path's fill lies on the right of its edges, so paths run
  // clockwise on screen (y grows downwards).
  void MoveTo(std::int32_t x, std::int32_t y, int fill, int line);
  void LineTo(std::int32_t x, std::int32_t y);
  void CurveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y);

  void Circle(std::int32_t centreX, std::int32_t centreY, std::int32_t radius, int fill, int line);
  void Rectangle(const Rect& rect, int fill, int line);

  Bytes DefineShape3(std::uint16_t id) const;

 private:
  struct Edge {
    enum Kind { Move, Line, Curve } kind;
    std::int32_t x, y, controlX, controlY;  // absolute; control only for curves
    int fill, line;                         // only for moves
  };
  struct RadialFill {
    Matrix matrix;
    std::vector<GradientRecord> records;
  };
  void Include(std::int32_t x, std::int32_t y);

  std::vector<std::variant<Rgba, RadialFill>> fills_;
  std::vector<std::pair<std::uint16_t, Rgba>> lines_;
  std::vector<Edge> edges_;
  Rect bounds_{0, 0, 0, 0};
  bool empty_ = true;
};

}  // namespace swf
