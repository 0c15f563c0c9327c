// Platform constants with their platform values, named so that they never meet the macros of
// the platform headers.
#pragma once

#include <cstdint>

#include "runtime/platform_types.h"

namespace vellomar::win {

// Predefined registry roots: seven consecutive values.
inline constexpr HKey kHKeyClassesRoot = static_cast<HKey>(0x80000000u);
inline constexpr HKey kHKeyCurrentUser = static_cast<HKey>(0x80000001u);
inline constexpr HKey kHKeyLocalMachine = static_cast<HKey>(0x80000002u);
inline constexpr HKey kHKeyUsers = static_cast<HKey>(0x80000003u);
inline constexpr HKey kHKeyPerformanceData = static_cast<HKey>(0x80000004u);
inline constexpr HKey kHKeyCurrentConfig = static_cast<HKey>(0x80000005u);
inline constexpr HKey kHKeyDynData = static_cast<HKey>(0x80000006u);
constexpr bool IsPredefinedRoot(HKey root) {
  return root >= kHKeyClassesRoot && root <= kHKeyDynData;
}

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
// Access rights of an open key.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyRead = 0x20019;

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorMoreData = 234;

inline constexpr Hwnd kHwndTopmost = -1;
inline constexpr Hwnd kHwndNoTopmost = -2;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;
inline constexpr std::uint32_t kSwpFrameChanged = 0x0020;

inline constexpr std::int32_t kGwlWndProc = -4;
inline constexpr std::int32_t kGwlExStyle = -20;
inline constexpr std::intptr_t kWsExTransparent = 0x20;

inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kSpiSetScreenSaverRunning = 97;

inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;

inline constexpr std::int16_t kKeySpace = 32;
inline constexpr std::int16_t kKeyMenu = 0x12;  // Alt
inline constexpr std::int16_t kKeyF4 = 0x73;
inline constexpr std::int16_t kShiftAlt = 4;  // the Alt bit of a key event's shift state

}  // namespace vellomar::win
