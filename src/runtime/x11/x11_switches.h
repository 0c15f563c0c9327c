// The XScreenSaver switches as the Windows switches the start-up reads. Plain C++, tested without
// a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellomar::x11 {

// args: the command line after the program's name.
std::string TranslateSwitches(const std::vector<std::string>& args);

// A window id as XScreenSaver writes it: 0x hex, or decimal (leading zeros too).
std::optional<unsigned long long> WindowIdOf(const std::string& text);

// The root role: --root without --window-id, which makes any command line the preview's.
bool IsRootRole(const std::vector<std::string>& args);
// The full-screen role on its own: it covers the screen and must hold the keyboard.
bool IsStandaloneFullScreen(const std::vector<std::string>& args);

}  // namespace vellomar::x11
