// The full-screen picture and its miniature for the preview pane, each a looping sprite
// exported for the first frame to attach.
#pragma once

#include <cstdint>

#include "content/library.h"

namespace movie {

void DefinePicture(Library& library, std::uint16_t glow, std::uint16_t halo);
void DefinePreview(Library& library, std::uint16_t glow);

}  // namespace movie
