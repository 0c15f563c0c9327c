// The one command that makes XScreenSaver list the program: no package may change another's
// files, so the user adds it to the programs of their own preferences file, ~/.xscreensaver.
#pragma once

#include <string>

namespace vellomar::x11 {

inline constexpr char kXScreenSaverAppDefaults[] = "/etc/X11/app-defaults/XScreenSaver";

struct CommandReport {
  bool succeeded = false;
  std::string line;  // what was done, for standard output; or why not, for standard error
};

// Adds kXScreenSaverEntry to home's .xscreensaver (through a link, keeping its mode), or creates
// the file from the "*programs:" of appDefaults; leaves everything as it was when the program is
// listed already or when anything fails.
CommandReport AddToXScreenSaver(const std::string& home, const std::string& appDefaults);

}  // namespace vellomar::x11
