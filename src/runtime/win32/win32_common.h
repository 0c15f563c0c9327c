// What the win32 files share: handle widening, text conversions and the twips scale.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/platform_types.h"

namespace vellomar::win32 {

// Handles travel as 32-bit values; a 64-bit build widens them by sign extension.
inline HWND ToHwnd(Hwnd hwnd) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(hwnd)); }
inline Hwnd FromHwnd(HWND hwnd) {
  return static_cast<Hwnd>(reinterpret_cast<std::intptr_t>(hwnd));
}
inline HKEY ToHkey(HKey key) { return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(key)); }
inline HKey FromHkey(HKEY key) { return static_cast<HKey>(reinterpret_cast<std::intptr_t>(key)); }

// Text in a code page to UTF-16 and back. `unmappable` stands for what the code page lacks;
// null leaves the call's own default, the only choice UTF-8 and UTF-7 accept.
std::wstring ToWide(std::string_view text, UINT codePage);
std::string FromWide(std::wstring_view wide, UINT codePage, const char* unmappable = nullptr);
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Dots per inch of the screen along LOGPIXELSX or LOGPIXELSY.
int ScreenDpi(int axis);
// Twips of the screen's logical resolution, to pixels.
int TwipsToPixelsX(std::int32_t twips);
int TwipsToPixelsY(std::int32_t twips);
RECT PixelRect(const Placement& placement);

}  // namespace vellomar::win32
