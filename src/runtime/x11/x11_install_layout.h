// Where the Linux program finds what it plays: the folder holding the player page with the
// emulator (player/), the movie and the purchase page. Plain C++.
#pragma once

#include <string>

namespace vellomar::x11 {

// Beside the program in a build (and in the tests' copies); else the package's data folder
// relative to the program (bin/ or libexec/xscreensaver/ under one prefix); else the folder the
// build was configured to install into, so that a moved program still finds it.
std::string DataFolder();

}  // namespace vellomar::x11
