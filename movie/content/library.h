// The movie's definitions as they are made: character ids handed out in order, the definition
// tags, and the names under which scripts attach sprites.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "swf/byte_writer.h"
#include "swf/tag.h"

namespace movie {

class Library {
 public:
  std::uint16_t NewId() { return nextId_++; }
  void Define(swf::TagCode code, const swf::Bytes& body) { swf::AppendTag(tags_, code, body); }
  void Export(std::uint16_t id, std::string name) { exports_.emplace_back(id, std::move(name)); }
  // The definitions, then one ExportAssets tag naming the exported characters.
  swf::Bytes Tags() const;

 private:
  std::uint16_t nextId_ = 1;
  swf::ByteWriter tags_;
  std::vector<std::pair<std::uint16_t, std::string>> exports_;
};

}  // namespace movie
