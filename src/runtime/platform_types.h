// Value types that cross the platform seam. Handles are 32-bit values, as the program passes
// them on the command line; a platform widens them (sign-extended) where it needs pointers.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vellomar {

using Hwnd = std::int32_t;
using HKey = std::int32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// A window procedure carries the platform's calling convention, so the same function can be
// installed on a real window and called by the in-memory platform.
#if defined(_WIN32) && !defined(_WIN64)
#define VELLOMAR_CALLBACK __stdcall
#else
#define VELLOMAR_CALLBACK
#endif
using WndProc = LResult(VELLOMAR_CALLBACK*)(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                             LParam lParam);

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// The platform's ANSI version record; its size field must be 148 before the call.
struct OsVersionInfoA {
  std::uint32_t dwOSVersionInfoSize = 0;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfoA) == 148);

// Position and size of a window or control, in twips of its container.
struct Placement {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct ScreenMetrics {
  std::int32_t widthPixels = 0;
  std::int32_t heightPixels = 0;
  double twipsPerPixelX = 15.0;
  double twipsPerPixelY = 15.0;
};

enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2 };
enum class WindowState { Normal = 0, Maximized = 2 };

// Design-time properties of a form. Colours are 0x00BBGGRR.
struct FormDesign {
  std::string caption;
  BorderStyle border = BorderStyle::Sizable;
  WindowState state = WindowState::Normal;
  std::uint32_t backColor = 0;
  std::int32_t clientWidth = 0;   // twips
  std::int32_t clientHeight = 0;  // twips
  bool centred = false;
  bool showInTaskbar = true;
  bool icon = false;  // the program's own icon, or none
  bool minButton = true;
  bool maxButton = true;
  // System keys (Alt, Alt with another key, F10) are key presses of the form rather than the
  // system's own (Alt+F4 closes, Alt+Space opens the system menu).
  bool systemKeysArePresses = false;
  // Takes the foreground and the keyboard focus when shown, and takes them back whenever it loses
  // them while it is enabled (a modal dialog of the program disables it and keeps them).
  bool holdsForeground = false;
  // Borderless and maximized, it covers every monitor (the virtual screen, whose origin may be
  // negative) rather than the primary one.
  bool coversEveryMonitor = false;
};

struct FontDesign {
  std::string name;
  double points = 0;
};

// A value passed to a hosted control's dispatch interface.
using DispValue = std::variant<bool, std::int32_t, std::string>;

// A hosted (ActiveX) control: created by ProgID and handed its design-time settings by name
// before it is first shown. A setting the control does not take is skipped, never fatal.
struct ControlDesign {
  std::string progId;
  Placement placement;
  std::vector<std::pair<std::string, DispValue>> settings;
};

}  // namespace vellomar
