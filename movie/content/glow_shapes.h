// The shapes both pictures are made of.
#pragma once

#include <cstdint>
#include <vector>

#include "content/library.h"

namespace movie {

// Soft discs of radius 100 pixels, one per step round the colour wheel (`hues` steps), each in
// its own colour: one radial gradient, brightest in the middle, clear at the rim. A placement
// picks the step of its hue and fades it, and needs no colour transform on a gradient, which
// the emulator's canvas can only apply as a filter over the whole shape.
std::vector<std::uint16_t> DefineGlows(Library& library, int hues);

// A thin white circle of radius 100 pixels, tinted by its placement; stretched and turned it
// reads as an orbit.
std::uint16_t DefineHalo(Library& library);

}  // namespace movie
