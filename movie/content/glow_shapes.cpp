#include "content/glow_shapes.h"

#include <utility>
#include <vector>

#include "swf/records.h"
#include "swf/shape.h"

namespace movie {

std::uint16_t DefineGlow(Library& library) {
  // White whose opacity follows (1 - s^2)^1.5 at s radii out (ratio 255 s): a broad core, then a
  // long fade that reaches nothing at the rim, so no edge or ring shows. Evenly spaced stops,
  // which the emulator's canvas shades faster.
  auto white = [](std::uint8_t alpha) { return swf::Rgba{255, 255, 255, alpha}; };
  std::vector<swf::GradientRecord> fade = {{0, white(170)}, {51, white(160)}, {102, white(131)},
                                           {153, white(87)}, {204, white(37)}, {255, white(0)}};
  swf::Shape shape;
  const std::int32_t radius = swf::Twips(100);
  shape.Circle(0, 0, radius, shape.AddRadialFill(0, 0, radius, std::move(fade)), 0);
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineShape3, shape.DefineShape3(id));
  return id;
}

std::uint16_t DefineHalo(Library& library) {
  swf::Shape shape;
  const int line = shape.AddLine(static_cast<std::uint16_t>(swf::Twips(2)), {255, 255, 255, 255});
  shape.Circle(0, 0, swf::Twips(100), 0, line);
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineShape3, shape.DefineShape3(id));
  return id;
}

}  // namespace movie
