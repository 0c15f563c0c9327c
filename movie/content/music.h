// The full-screen picture's music: a soft pad synthesised here, in a sprite that starts it
// looping when attached.
#pragma once

#include <cstdint>
#include <vector>

#include "content/library.h"

namespace movie {

constexpr int kSampleRate = 11025;

// Four seconds of a slowly breathing A major chord; every partial completes whole cycles, so
// the loop has no seam.
std::vector<std::int16_t> SynthesisePad();

void DefineMusic(Library& library);

}  // namespace movie
