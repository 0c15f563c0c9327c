// Tags, the SWF file's units, and the file header around them.
#pragma once

#include <cstdint>

#include "swf/byte_writer.h"
#include "swf/records.h"

namespace swf {

enum class TagCode : std::uint16_t {
  End = 0,
  ShowFrame = 1,
  SetBackgroundColor = 9,
  DoAction = 12,
  DefineSound = 14,
  StartSound = 15,
  PlaceObject2 = 26,
  DefineShape3 = 32,
  DefineButton2 = 34,
  DefineEditText = 37,
  DefineSprite = 39,
  DefineFont2 = 48,
  ExportAssets = 56,
  FileAttributes = 69,
};

// The short header holds bodies under 63 bytes; longer ones take the long form.
void AppendTag(ByteWriter& out, TagCode code, const Bytes& body = {});

struct Header {
  std::uint8_t version;
  Rect frameSize;
  std::uint8_t framesPerSecond;
  std::uint16_t frameCount;
};

// An uncompressed file ("FWS"): header, then the tags, which must end with an End tag.
Bytes MovieFileBytes(const Header& header, const Bytes& tags);

}  // namespace swf
