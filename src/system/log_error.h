// The error log: one dated line per failure of a guarded handler, appended to the file the
// platform names (error.log in the install folder on Windows). Logging never shows, raises or
// reports anything.
#pragma once

#include <functional>
#include <string>

#include "runtime/platform.h"

namespace vellomar {

void LogError(Platform& platform, const std::string& description);

// A guarded handler: runs the steps; when one raises, its description goes to the log and the
// remaining steps are skipped. What ran before stays done.
void Guarded(Platform& platform, const std::function<void()>& steps);

}  // namespace vellomar
