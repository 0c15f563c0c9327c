#include "content/library.h"

#include "swf/display.h"

namespace movie {

swf::Bytes Library::Tags() const {
  swf::ByteWriter out;
  out.Append(tags_.Data());
  swf::AppendTag(out, swf::TagCode::ExportAssets, swf::ExportAssets(exports_));
  return out.Data();
}

}  // namespace movie
