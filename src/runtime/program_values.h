// The program-wide values, in one place, all zero when a program starts.
#pragma once

#include <cstdint>

#include "runtime/platform_types.h"

namespace vellomar {

struct ProgramValues {
  // Start-up.
  std::int16_t TwipsPerPixelX = 0;
  std::int16_t TwipsPerPixelY = 0;
  Hwnd PreviewParent = 0;
  std::int32_t PlatformId = 0;
  OsVersionInfoA VersionInfo{};
  // Input guard.
  std::int16_t UsePassword = 0;
  std::int16_t MoveCount = 0;
  // Preview.
  std::int16_t PreviewActive = 0;
  Rect PreviewRect{};
  // Pointer-sized so that a 64-bit build can keep a window procedure.
  std::intptr_t PrevWndProc = 0;
};

// 16-bit truth values.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

}  // namespace vellomar
