#include "swf/button.h"

namespace swf {

Bytes DefineButton2(std::uint16_t id, const std::vector<ButtonLayer>& layers,
                    const Bytes& onRelease) {
  ByteWriter records;
  for (const ButtonLayer& layer : layers) {
    records.U8(layer.states);
    records.U16(layer.character);
    records.U16(layer.depth);
    WriteMatrix(records, layer.matrix);
    WriteColorTransformWithAlpha(records, {});
  }
  records.U8(0);  // end of the layers

  ByteWriter out;
  out.U16(id);
  out.U8(0);  // tracked as a push button, not a menu item
  out.U16(static_cast<std::uint16_t>(2 + records.Size()));  // from this field to the conditions
  out.Append(records.Data());
  out.U16(0);     // the only (last) condition
  out.U8(0x08);   // OverDownToOverUp
  out.U8(0x00);   // no key
  out.Append(onRelease);
  return out.Data();
}

}  // namespace swf
