#include "content/glow_shapes.h"

#include "swf/records.h"
#include "swf/shape.h"

namespace movie {

std::uint16_t DefineGlow(Library& library) {
  swf::Shape shape;
  // Outermost first; each disc lies over the larger ones, so the centre is the brightest.
  constexpr struct {
    double radius;
    std::uint8_t alpha;
  } kDiscs[] = {{100, 36}, {82, 44}, {64, 56}, {44, 72}};
  for (const auto& disc : kDiscs) {
    shape.Circle(0, 0, swf::Twips(disc.radius), shape.AddFill({255, 255, 255, disc.alpha}), 0);
  }
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
