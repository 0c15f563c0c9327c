#include "swf/text.h"

namespace swf {

Bytes DefineDeviceFont(std::uint16_t id, std::string_view name) {
  ByteWriter out;
  out.U16(id);
  out.U8(0x04);  // wide character codes, no layout, no glyphs
  out.U8(0);     // no language
  out.U8(static_cast<std::uint8_t>(name.size()));
  for (char c : name) out.U8(static_cast<std::uint8_t>(c));
  out.U16(0);  // glyph count
  out.U16(2);  // the (empty) code table starts right after this offset field
  return out.Data();
}

Bytes DefineEditText(std::uint16_t id, const TextField& field) {
  ByteWriter out;
  out.U16(id);
  WriteRect(out, field.bounds);
  // HasText, ReadOnly, HasTextColor, HasFont; then HasLayout, NoSelect.
  out.U8(static_cast<std::uint8_t>((field.text.empty() ? 0x00 : 0x80) | 0x08 | 0x04 | 0x01));
  out.U8(0x20 | 0x10);
  out.U16(field.font);
  out.U16(field.heightTwips);
  WriteRgba(out, field.colour);
  out.U8(static_cast<std::uint8_t>(field.align));
  out.U16(0);  // left margin
  out.U16(0);  // right margin
  out.U16(0);  // indent
  out.S16(0);  // leading
  out.String(field.variable);
  if (!field.text.empty()) out.String(field.text);
  return out.Data();
}

}  // namespace swf
