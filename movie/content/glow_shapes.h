// The two shapes both pictures are made of, white so that a colour transform tints them.
#pragma once

#include <cstdint>

#include "content/library.h"

namespace movie {

// A soft disc of radius 100 pixels: one radial gradient, brightest in the middle, clear at the rim.
std::uint16_t DefineGlow(Library& library);

// A thin circle of radius 100 pixels; stretched and turned it reads as an orbit.
std::uint16_t DefineHalo(Library& library);

}  // namespace movie
