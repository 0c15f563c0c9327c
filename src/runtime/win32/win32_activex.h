// What the form windows need of the hosting of ActiveX controls.
#pragma once

#include "runtime/win32/win32_common.h"

namespace vellomar::win32 {

// Moves and sizes the controls hosted in a window whose client area has changed size, each in
// proportion, so that one that filled the old area fills the new one.
void ScaleHostedControls(HWND host, SIZE from, SIZE to);

}  // namespace vellomar::win32
