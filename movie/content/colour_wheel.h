// The colours both pictures travel through.
#pragma once

#include <array>

namespace movie {

// Red, green and blue from 0.15 to 1 at `hue` turns round the wheel: three cosines a third of a
// turn apart, squared for deeper colours and kept away from black.
std::array<double, 3> WheelColour(double hue);

}  // namespace movie
