// X input as the program's handlers expect it: keys as Windows virtual-key codes and shift
// state, buttons by their Windows numbers, and moves only where the pointer really moved.
#include "runtime/x11/x11_windows.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace vellomar::x11 {

std::int16_t VirtualKeyOf(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return static_cast<std::int16_t>('A' + keysym - XK_a);
  if (keysym >= XK_A && keysym <= XK_Z) return static_cast<std::int16_t>('A' + keysym - XK_A);
  if (keysym >= XK_0 && keysym <= XK_9) return static_cast<std::int16_t>('0' + keysym - XK_0);
  if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<std::int16_t>(0x70 + keysym - XK_F1);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
    return static_cast<std::int16_t>(0x60 + keysym - XK_KP_0);
  }
  switch (keysym) {
    case XK_space: return 0x20;
    case XK_BackSpace: return 0x08;
    case XK_Tab: case XK_ISO_Left_Tab: return 0x09;
    case XK_Return: case XK_KP_Enter: return 0x0D;
    case XK_Shift_L: case XK_Shift_R: return 0x10;
    case XK_Control_L: case XK_Control_R: return 0x11;
    case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R: return 0x12;
    case XK_Pause: return 0x13;
    case XK_Caps_Lock: return 0x14;
    case XK_Escape: return 0x1B;
    case XK_Page_Up: return 0x21;
    case XK_Page_Down: return 0x22;
    case XK_End: return 0x23;
    case XK_Home: return 0x24;
    case XK_Left: return 0x25;
    case XK_Up: return 0x26;
    case XK_Right: return 0x27;
    case XK_Down: return 0x28;
    case XK_Print: return 0x2C;
    case XK_Insert: return 0x2D;
    case XK_Delete: return 0x2E;
    case XK_Super_L: return 0x5B;
    case XK_Super_R: return 0x5C;
    case XK_Menu: return 0x5D;
    case XK_KP_Multiply: return 0x6A;
    case XK_KP_Add: return 0x6B;
    case XK_KP_Subtract: return 0x6D;
    case XK_KP_Decimal: return 0x6E;
    case XK_KP_Divide: return 0x6F;
    case XK_Num_Lock: return 0x90;
    case XK_Scroll_Lock: return 0x91;
    default: return 0xFF;  // a key with no code of its own, as Windows reports some
  }
}

std::int16_t ShiftStateOf(unsigned int state) {
  return static_cast<std::int16_t>(((state & ShiftMask) ? 1 : 0) |
                                   ((state & ControlMask) ? 2 : 0) |
                                   ((state & Mod1Mask) ? 4 : 0));
}

void DeliverButton(WindowRecord& form, unsigned int button) {
  static constexpr std::int16_t kButtons[] = {0, 1, 4, 2};  // X: left, middle, right
  if (button >= 1 && button <= 3) form.events->OnMouseDown(kButtons[button]);
}

void DeliverMotion(WindowRecord& form, int xRoot, int yRoot) {
  // X reports motion on map and on grabs at the same position: only a change is a move.
  if (xRoot == form.pointerX && yRoot == form.pointerY) return;
  form.pointerX = xRoot;
  form.pointerY = yRoot;
  form.events->OnMouseMove();
}

}  // namespace vellomar::x11
