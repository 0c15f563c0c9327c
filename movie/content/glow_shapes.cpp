#include "content/glow_shapes.h"

#include "swf/records.h"
#include "swf/shape.h"

namespace movie {

std::uint16_t DefineGlow(Library& library) {
  swf::Shape shape;
  const int outer = shape.AddFill({255, 255, 255, 60});
  const int middle = shape.AddFill({255, 255, 255, 70});
  const int inner = shape.AddFill({255, 255, 255, 90});
  shape.Circle(0, 0, swf::Twips(100), outer, 0);
  shape.Circle(0, 0, swf::Twips(72), middle, 0);
  shape.Circle(0, 0, swf::Twips(45), inner, 0);
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
