// The design shared by the saver's full-screen windows: black, borderless, maximized, with no
// icon, no buttons and no taskbar entry.
#pragma once

#include <string>

#include "runtime/platform_types.h"

namespace vellomar {

FormDesign FullScreenDesign(const std::string& caption);

}  // namespace vellomar
