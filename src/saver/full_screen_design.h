// The design shared by the saver's full-screen windows: black, borderless, maximized, with no
// icon, no buttons and no taskbar entry.
#pragma once

#include <string>

#include "runtime/platform_types.h"

namespace vellomar {

FormDesign FullScreenDesign(const std::string& caption);
// The backdrop's and the guard's: the same over every monitor, so that no monitor stays visible
// and input anywhere reaches the guard. The movie keeps to the primary one.
FormDesign EveryMonitorDesign(const std::string& caption);

}  // namespace vellomar
