// The full-screen picture's music: a soft pad synthesised here, in a sprite that starts it
// looping when attached.
#pragma once

#include "content/library.h"

namespace movie {

void DefineMusic(Library& library);

}  // namespace movie
