// The display list: placing characters (PlaceObject2), sprites (DefineSprite) and exporting
// them by name for attachMovie (ExportAssets).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "swf/byte_writer.h"
#include "swf/records.h"
#include "swf/tag.h"

namespace swf {

struct Placement {
  std::uint16_t depth;
  std::optional<std::uint16_t> character;  // set to place a new character, unset to change one
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> colour;
  std::string name;  // instance name, for scripts
  bool replaces = false;  // with a character: it takes the place of the one at the depth
};

Bytes PlaceObject2(const Placement& placement);

// A timeline of its own: control tags, frame by frame.
class Sprite {
 public:
  void Add(TagCode code, const Bytes& body) { AppendTag(tags_, code, body); }
  void ShowFrame();
  Bytes DefineSprite(std::uint16_t id) const;

 private:
  ByteWriter tags_;
  std::uint16_t frames_ = 0;
};

Bytes ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& names);

}  // namespace swf
