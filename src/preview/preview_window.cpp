#include "preview/preview_window.h"

#include "preview/control_form.h"
#include "runtime/platform_constants.h"

namespace vellomar {

void HookPreviewWindow(Program& program, Hwnd hwnd) {
  program.values().PrevWndProc = program.platform().SetWindowLongA(
      hwnd, win::kGwlWndProc, reinterpret_cast<std::intptr_t>(&PreviewWndProc));
}

void UnhookPreviewWindow(Program& program, Hwnd hwnd) {
  ProgramValues& values = program.values();
  if (values.PrevWndProc == 0) return;
  // On a window already destroyed with the pane this fails; the hook is gone all the same.
  program.platform().SetWindowLongA(hwnd, win::kGwlWndProc, values.PrevWndProc);
  values.PrevWndProc = 0;
}

LResult VELLOMAR_CALLBACK PreviewWndProc(Hwnd hwnd, std::uint32_t msg, WParam wParam,
                                         LParam lParam) {
  Program& program = Program::Current();
  ProgramValues& values = program.values();
  if (values.PrevWndProc == 0) return 0;
  if (msg != win::kWmClose) {
    return program.platform().CallWindowProcA(values.PrevWndProc, hwnd, msg, wParam, lParam);
  }
  // The pane is closing: take the picture box back under the hidden form instead of letting it
  // be destroyed, and let the next tick end the preview.
  if (ControlForm* form = program.Find<ControlForm>()) {
    program.platform().SetParent(form->Picture1.hWnd(), form->hWnd());
  }
  values.PreviewActive = kFalse;
  return 0;
}

}  // namespace vellomar
