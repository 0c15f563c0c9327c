#include "content/colour_wheel.h"

#include "content/wave.h"

namespace movie {

std::array<double, 3> WheelColour(double hue) {
  std::array<double, 3> colour{};
  for (int channel = 0; channel < 3; ++channel) {
    const double level = 0.5 + 0.5 * Wave(hue + channel / 3.0 + 0.25);
    colour[channel] = 0.15 + 0.85 * level * level;
  }
  return colour;
}

}  // namespace movie
