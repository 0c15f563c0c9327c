#include "content/drift.h"

#include <cmath>
#include <optional>

#include "content/colour_wheel.h"
#include "content/wave.h"
#include "swf/records.h"

namespace movie {
namespace {

std::int16_t Multiplier(double value) { return static_cast<std::int16_t>(std::lround(value * 256)); }

swf::Placement At(const Drift& drift, std::uint16_t depth, double t) {
  const double x = drift.centreX + drift.swingX * Wave(drift.cyclesX * t + drift.phase);
  const double y = drift.centreY + drift.swingY * Wave(drift.cyclesY * t + drift.phase * 1.7);
  const double size = drift.scale * (1 + drift.breath * Wave(t + drift.phase * 2.3));
  const double angle = drift.spins * t + drift.phase;
  const double cosine = Wave(angle + 0.25), sine = Wave(angle);
  const double width = size, height = size * drift.squash;
  swf::Matrix matrix{width * cosine, height * cosine, width * sine, -height * sine,
                     swf::Twips(x), swf::Twips(y)};
  if (drift.spins == 0 && drift.squash == 1) matrix = {size, size, 0, 0, swf::Twips(x), swf::Twips(y)};

  swf::ColorTransform colour;
  colour.multiply[3] = Multiplier(drift.alpha);
  const double hue = drift.hue + drift.hueCycles * t;
  const std::size_t steps = drift.shapes.size();
  if (steps == 1) {
    const auto tint = WheelColour(hue);
    for (int channel = 0; channel < 3; ++channel) colour.multiply[channel] = Multiplier(tint[channel]);
    return {depth, drift.shapes[0], matrix, colour, {}};
  }
  const auto step = static_cast<std::size_t>(std::lround((hue - std::floor(hue)) * steps)) % steps;
  return {depth, drift.shapes[step], matrix, colour, {}};
}

}  // namespace

swf::Sprite DriftingSprite(const std::vector<Drift>& drifts, int frames) {
  swf::Sprite sprite;
  std::vector<std::optional<std::uint16_t>> shown(drifts.size());
  for (int frame = 0; frame < frames; ++frame) {
    const double t = static_cast<double>(frame) / frames;
    for (std::size_t i = 0; i < drifts.size(); ++i) {
      swf::Placement placement = At(drifts[i], static_cast<std::uint16_t>(i + 1), t);
      // The character goes in only when the shape at this depth changes.
      if (placement.character == shown[i]) {
        placement.character.reset();
      } else {
        placement.replaces = shown[i].has_value();
        shown[i] = placement.character;
      }
      sprite.Add(swf::TagCode::PlaceObject2, swf::PlaceObject2(placement));
    }
    sprite.ShowFrame();
  }
  return sprite;
}

}  // namespace movie
