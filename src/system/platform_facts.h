// Small platform services that the start-up and the forms share.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/program.h"

namespace vellomar {

// The caption of the input guard; its window marks a running full-screen saver.
inline constexpr char kGuardCaption[] = "Screen Saver Main Form";

// -1 when no top-level window has this caption, 0 when one has.
std::int16_t IsFirstInstance(Platform& platform, const std::string& caption);

// Fills the program's version record and copies its platform id into PlatformId.
void GetPlatformId(Program& program);

}  // namespace vellomar
