#include "content/glow_shapes.h"

#include <cmath>
#include <utility>

#include "content/colour_wheel.h"
#include "swf/records.h"
#include "swf/shape.h"

namespace movie {
namespace {

std::uint16_t DefineGlow(Library& library, double hue) {
  const auto colour = WheelColour(hue);
  auto tinted = [&colour](std::uint8_t alpha) {
    auto level = [](double value) { return static_cast<std::uint8_t>(std::lround(255 * value)); };
    return swf::Rgba{level(colour[0]), level(colour[1]), level(colour[2]), alpha};
  };
  // Opacity follows (1 - s^2)^1.5 at s radii out (ratio 255 s): a broad core, then a long fade
  // that reaches nothing at the rim, so no edge or ring shows. Evenly spaced stops, which the
  // emulator's canvas shades faster.
  std::vector<swf::GradientRecord> fade = {{0, tinted(170)},  {51, tinted(160)}, {102, tinted(131)},
                                           {153, tinted(87)}, {204, tinted(37)}, {255, tinted(0)}};
  swf::Shape shape;
  const std::int32_t radius = swf::Twips(100);
  shape.Circle(0, 0, radius, shape.AddRadialFill(0, 0, radius, std::move(fade)), 0);
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineShape3, shape.DefineShape3(id));
  return id;
}

}  // namespace

std::vector<std::uint16_t> DefineGlows(Library& library, int hues) {
  std::vector<std::uint16_t> glows;
  for (int step = 0; step < hues; ++step) glows.push_back(DefineGlow(library, double(step) / hues));
  return glows;
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
