#include "swf/tag.h"

namespace swf {

void AppendTag(ByteWriter& out, TagCode code, const Bytes& body) {
  const auto type = static_cast<std::uint16_t>(static_cast<std::uint16_t>(code) << 6);
  if (body.size() < 0x3F) {
    out.U16(static_cast<std::uint16_t>(type | body.size()));
  } else {
    out.U16(static_cast<std::uint16_t>(type | 0x3F));
    out.U32(static_cast<std::uint32_t>(body.size()));
  }
  out.Append(body);
}

Bytes MovieFileBytes(const Header& header, const Bytes& tags) {
  ByteWriter rest;
  WriteRect(rest, header.frameSize);
  rest.U8(0);  // frame rate in 8.8 fixed point: the fraction, then the whole frames
  rest.U8(header.framesPerSecond);
  rest.U16(header.frameCount);
  rest.Append(tags);

  ByteWriter file;
  file.U8('F');
  file.U8('W');
  file.U8('S');
  file.U8(header.version);
  file.U32(static_cast<std::uint32_t>(8 + rest.Size()));
  file.Append(rest.Data());
  return file.Data();
}

}  // namespace swf
