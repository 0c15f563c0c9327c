// Text in device fonts: a font with a name and no glyphs, and editable-text fields that use it,
// so any player draws the letters with the fonts of its own system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "swf/byte_writer.h"
#include "swf/records.h"

namespace swf {

Bytes DefineDeviceFont(std::uint16_t id, std::string_view name);

struct TextField {
  enum class Align : std::uint8_t { Left = 0, Right = 1, Centre = 2 };
  Rect bounds;  // twips, relative to the field's position
  std::uint16_t font;
  std::uint16_t heightTwips;
  Rgba colour;
  Align align = Align::Left;
  std::string variable;  // the timeline variable whose value the field shows; may be empty
  std::string text;      // the text shown until a script sets the variable
};

// A read-only, unselectable field, so clicks reach the buttons around it.
Bytes DefineEditText(std::uint16_t id, const TextField& field);

}  // namespace swf
