#include "runtime/win32/win32_common.h"

namespace vellomar::win32 {

std::wstring ToWide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string FromWide(std::wstring_view wide, UINT codePage, const char* unmappable) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, unmappable, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                      unmappable, nullptr);
  return text;
}

std::wstring Widen(std::string_view utf8) { return ToWide(utf8, CP_UTF8); }
std::string Narrow(std::wstring_view wide) { return FromWide(wide, CP_UTF8); }

int ScreenDpi(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int TwipsToPixelsX(std::int32_t twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSX), 1440); }
int TwipsToPixelsY(std::int32_t twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSY), 1440); }

RECT PixelRect(const Placement& placement) {
  return RECT{TwipsToPixelsX(placement.left), TwipsToPixelsY(placement.top),
              TwipsToPixelsX(placement.left + placement.width),
              TwipsToPixelsY(placement.top + placement.height)};
}

}  // namespace vellomar::win32
