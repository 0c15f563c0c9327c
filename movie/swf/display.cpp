#include "swf/display.h"

namespace swf {

Bytes PlaceObject2(const Placement& placement) {
  std::uint8_t flags = 0;
  if (!placement.name.empty()) flags |= 0x20;
  if (placement.colour) flags |= 0x08;
  if (placement.matrix) flags |= 0x04;
  if (placement.character) flags |= 0x02;
  // A move changes the character at the depth: its matrix and colours, or the character itself.
  if (!placement.character || placement.replaces) flags |= 0x01;
  ByteWriter out;
  out.U8(flags);
  out.U16(placement.depth);
  if (placement.character) out.U16(*placement.character);
  if (placement.matrix) WriteMatrix(out, *placement.matrix);
  if (placement.colour) WriteColorTransformWithAlpha(out, *placement.colour);
  if (!placement.name.empty()) out.String(placement.name);
  return out.Data();
}

void Sprite::ShowFrame() {
  AppendTag(tags_, TagCode::ShowFrame);
  ++frames_;
}

Bytes Sprite::DefineSprite(std::uint16_t id) const {
  ByteWriter out;
  out.U16(id);
  out.U16(frames_);
  out.Append(tags_.Data());
  AppendTag(out, TagCode::End);
  return out.Data();
}

Bytes ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& names) {
  ByteWriter out;
  out.U16(static_cast<std::uint16_t>(names.size()));
  for (const auto& [id, name] : names) {
    out.U16(id);
    out.String(name);
  }
  return out.Data();
}

}  // namespace swf
