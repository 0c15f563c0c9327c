// The whole movie file.
#pragma once

#include "swf/byte_writer.h"

namespace movie {

swf::Bytes BuildMovie();

}  // namespace movie
