#include "content/music.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "content/stage.h"
#include "content/wave.h"
#include "swf/display.h"
#include "swf/sound.h"

namespace movie {
namespace {

constexpr int kSampleRate = 11025;

// Four seconds of a slowly breathing A major chord; every partial completes whole cycles, so
// the loop has no seam.
std::vector<std::int16_t> SynthesisePad() {
  constexpr int kSeconds = 4;
  // Multiples of 1/kSeconds Hz, each voice beside a twin a quarter hertz above it for a slow
  // chorus; the swell of each note also repeats whole times per loop.
  struct Voice {
    double hertz, level, swellPhase;
  };
  constexpr Voice kVoices[] = {
      {110.00, 0.30, 0.00}, {164.75, 0.22, 0.25}, {220.00, 0.20, 0.50},
      {277.25, 0.14, 0.75}, {329.50, 0.12, 0.10},
  };
  constexpr int kCount = kSeconds * kSampleRate;
  constexpr double kPeak = 0.35 * 32767;  // soft: well below full scale
  std::vector<std::int16_t> samples(kCount);
  for (int n = 0; n < kCount; ++n) {
    const double seconds = static_cast<double>(n) / kSampleRate;
    double sum = 0;
    for (const Voice& voice : kVoices) {
      const double swell = 0.6 + 0.4 * Wave(seconds / kSeconds + voice.swellPhase);
      const double tone = Wave(voice.hertz * seconds) + Wave((voice.hertz + 0.25) * seconds);
      sum += voice.level * swell * tone / 2;
    }
    samples[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(std::lround(sum * kPeak));
  }
  return samples;
}

}  // namespace

void DefineMusic(Library& library) {
  const std::uint16_t sound = library.NewId();
  library.Define(swf::TagCode::DefineSound, swf::DefineSound(sound, SynthesisePad()));
  swf::Sprite sprite;
  // As many repeats as the format allows: about three days of music.
  sprite.Add(swf::TagCode::StartSound, swf::StartSound(sound, 0xFFFF));
  sprite.ShowFrame();
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineSprite, sprite.DefineSprite(id));
  library.Export(id, kMusicSprite);
}

}  // namespace movie
