// The script of the movie's only root frame: by "routine" it attaches the full-screen picture
// (with the music when "music" is "1"), the preview picture, or the settings screen filled in
// from "language", "music" and "mouse"; then the root timeline stops.
#pragma once

#include "swf/byte_writer.h"

namespace movie {

// Root instances the script creates.
inline constexpr const char* kScreenInstance = "panel";

swf::Bytes FirstFrameActions();

}  // namespace movie
