#include "content/movie.h"

#include "content/first_frame.h"
#include "content/glow_shapes.h"
#include "content/library.h"
#include "content/music.h"
#include "content/picture.h"
#include "content/settings_screen.h"
#include "content/stage.h"
#include "swf/records.h"
#include "swf/tag.h"

namespace movie {

swf::Bytes BuildMovie() {
  Library library;
  // Fine enough that no step shows: from one to the next a channel moves 5 levels in 255 at most.
  const std::vector<std::uint16_t> glows = DefineGlows(library, 192);
  DefinePicture(library, glows, DefineHalo(library));
  DefinePreview(library, glows);
  DefineMusic(library);
  DefineSettingsScreen(library);

  swf::ByteWriter tags;
  swf::ByteWriter attributes;
  attributes.U32(0);  // no metadata, ActionScript 1 and 2, local file access
  swf::AppendTag(tags, swf::TagCode::FileAttributes, attributes.Data());
  swf::ByteWriter black;
  swf::WriteRgb(black, {0, 0, 0});
  swf::AppendTag(tags, swf::TagCode::SetBackgroundColor, black.Data());
  tags.Append(library.Tags());
  swf::AppendTag(tags, swf::TagCode::DoAction, FirstFrameActions());
  swf::AppendTag(tags, swf::TagCode::ShowFrame);
  swf::AppendTag(tags, swf::TagCode::End);

  const swf::Header header{kSwfVersion,
                           {0, swf::Twips(kStageWidth), 0, swf::Twips(kStageHeight)},
                           kFramesPerSecond,
                           1};
  return swf::MovieFileBytes(header, tags.Data());
}

}  // namespace movie
