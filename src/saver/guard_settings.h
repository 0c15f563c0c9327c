// The two settings the input guard reads as numbers, converted from their stored text.
#pragma once

#include <cstdint>
#include <string_view>

namespace vellomar {

// The mouse threshold when the "mouse" setting names none: missing, empty, not a number, or
// too large for 16 bits.
inline constexpr std::int16_t kDefaultMoveThreshold = 5;

// The "mouse" setting as a move count, rounded half to even.
std::int16_t MoveThresholdOf(std::string_view text);

// The desktop's "ScreenSaveUsePassword" as a 16-bit number, rounded half to even; text without
// a number gives 0 (off), a number too large for 16 bits counts as on.
std::int16_t UsePasswordOf(std::string_view text);

}  // namespace vellomar
