// The full-screen picture and its miniature for the preview pane, each a looping sprite
// exported for the first frame to attach.
#pragma once

#include <cstdint>
#include <vector>

#include "content/library.h"

namespace movie {

// `glows` holds one glow per step round the colour wheel.
void DefinePicture(Library& library, const std::vector<std::uint16_t>& glows, std::uint16_t halo);
void DefinePreview(Library& library, const std::vector<std::uint16_t>& glows);

}  // namespace movie
