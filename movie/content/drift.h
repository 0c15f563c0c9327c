// Slow looping motion: each shape follows a Lissajous path, breathes, turns and shifts its hue,
// with whole cycles per loop so the last frame flows into the first. Only PlaceObject2 changes
// per frame: the shapes themselves are defined once.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/display.h"

namespace movie {

struct Drift {
  // One white shape that the placement tints, or one shape per step round the colour wheel,
  // each in its own colours, of which the placement shows the step of its hue.
  std::vector<std::uint16_t> shapes;
  double centreX, centreY;  // pixels, the middle of the path
  double swingX, swingY;    // pixels either side of it
  int cyclesX, cyclesY;     // whole cycles per loop along each axis
  double phase;             // turns
  double scale, breath;     // mean size and its relative swing, one breath per loop
  double squash;            // height over width
  int spins;                // whole turns per loop, negative for the other way
  double hue;               // starting hue in turns
  int hueCycles;            // trips round the colour wheel per loop
  double alpha;             // opacity, 0 to 1
};

// The sprite's frames: the shapes placed in the first, moved in every one after.
swf::Sprite DriftingSprite(const std::vector<Drift>& drifts, int frames);

}  // namespace movie
