// Event sounds: uncompressed 16-bit samples (DefineSound) and their start (StartSound).
#pragma once

#include <cstdint>
#include <vector>

#include "swf/byte_writer.h"

namespace swf {

// Mono samples at 11025 Hz.
Bytes DefineSound(std::uint16_t id, const std::vector<std::int16_t>& samples);

// Starts the sound unless it is already playing, repeated loopCount times.
Bytes StartSound(std::uint16_t id, std::uint16_t loopCount);

}  // namespace swf
