#include "content/drift.h"

#include <cmath>

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

  // A colour wheel of three cosines a third of a turn apart, squared for deeper colours and
  // kept away from black.
  swf::ColorTransform colour;
  const double hue = drift.hue + drift.hueCycles * t;
  for (int channel = 0; channel < 3; ++channel) {
    const double level = 0.5 + 0.5 * Wave(hue + channel / 3.0 + 0.25);
    colour.multiply[channel] = Multiplier(0.15 + 0.85 * level * level);
  }
  colour.multiply[3] = Multiplier(drift.alpha);
  return {depth, std::nullopt, matrix, colour, {}};
}

}  // namespace

swf::Sprite DriftingSprite(const std::vector<Drift>& drifts, int frames) {
  swf::Sprite sprite;
  for (int frame = 0; frame < frames; ++frame) {
    const double t = static_cast<double>(frame) / frames;
    for (std::size_t i = 0; i < drifts.size(); ++i) {
      swf::Placement placement = At(drifts[i], static_cast<std::uint16_t>(i + 1), t);
      if (frame == 0) placement.character = drifts[i].character;
      sprite.Add(swf::TagCode::PlaceObject2, swf::PlaceObject2(placement));
    }
    sprite.ShowFrame();
  }
  return sprite;
}

}  // namespace movie
