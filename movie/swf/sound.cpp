#include "swf/sound.h"

namespace swf {

Bytes DefineSound(std::uint16_t id, const std::vector<std::int16_t>& samples) {
  ByteWriter out;
  out.U16(id);
  out.U8((3 << 4) | (1 << 2) | (1 << 1));  // uncompressed little-endian, 11 kHz, 16-bit, mono
  out.U32(static_cast<std::uint32_t>(samples.size()));
  for (std::int16_t sample : samples) out.S16(sample);
  return out.Data();
}

Bytes StartSound(std::uint16_t id, std::uint16_t loopCount) {
  ByteWriter out;
  out.U16(id);
  out.U8(0x10 | 0x04);  // no second instance, loop count follows
  out.U16(loopCount);
  return out.Data();
}

}  // namespace swf
