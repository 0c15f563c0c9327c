// The hook on the preview's picture box: it keeps the control panel's close from destroying the
// picture box and turns it into the end of the preview.
#pragma once

#include <cstdint>

#include "runtime/platform_types.h"
#include "runtime/program.h"

namespace vellomar {

// Puts PreviewWndProc on the window and keeps the procedure it replaces in PrevWndProc
// (0 when the platform refused).
void HookPreviewWindow(Program& program, Hwnd hwnd);

// Puts the kept procedure back on the window; does nothing when no hook is in force.
void UnhookPreviewWindow(Program& program, Hwnd hwnd);

// The hook itself, called by the platform for every message to the picture box.
LResult VELLOMAR_CALLBACK PreviewWndProc(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                         LParam lParam);

}  // namespace vellomar
