// Our windows by handle, and what the window calls share. Our handles lie above every X id
// (X ids use 29 bits), so a handle names either one of our windows or a foreign X window.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <string>

#include "runtime/native.h"
#include "runtime/platform_types.h"

// Xlib stays out of the headers: its None would hide BorderStyle::None.
struct _XDisplay;

namespace vellomar::x11 {

inline constexpr Hwnd kFirstOwnHandle = 0x40000000;

struct WindowRecord {
  Hwnd handle = 0;
  // A form's GtkWindow, or the child widget; a reference of ours keeps it while we do.
  GtkWidget* widget = nullptr;
  // Where children go: the GtkFixed inside a form or picture box.
  GtkWidget* fixed = nullptr;
  WindowEvents* events = nullptr;
  bool isForm = false;
  FormDesign design;
  std::uint32_t backColor = 0;
  bool shown = false;
  bool topmost = false;
  bool guardsInput = false;  // shown as the input guard, not as a window
  std::intptr_t wndProc = 0;
  // Set while a picture box sits in a foreign window: the popup that carries it there.
  GtkWidget* carrier = nullptr;
  Hwnd carrierParent = 0;
  // The input guard of a transparent form: an InputOnly window over every monitor.
  unsigned long guard = 0;  // an X window id
  int pointerX = 0;
  int pointerY = 0;
};

_XDisplay* XDisplay();
double ScreenDpi();
int TwipsToPixels(std::int32_t twips);

// A Windows path of the core (install folder + "\name") as a file name here.
std::string LocalPath(std::string path);

// The handle table.
Hwnd AddWindow(WindowRecord& record);
void RemoveWindow(Hwnd handle);
WindowRecord* FindWindowRecord(Hwnd handle);
// The record whose children go into this GtkFixed.
WindowRecord* RecordOfFixed(GtkWidget* fixed);
bool IsForeignHandle(Hwnd handle);
// The client size of a foreign window; false when there is no such window (any longer).
bool ForeignSize(Hwnd hwnd, int* width, int* height);
// The X id of a realized widget's window, else 0.
unsigned long XidOf(GtkWidget* widget);
// Our window (or input guard) with this X id, else 0.
Hwnd HandleOfXid(unsigned long xid);
void SetTopmost(Hwnd handle, bool topmost);

// With --root, the window the full-screen role draws into (XScreenSaver's, a virtual root or the
// root), leaving the keyboard and pointer to whoever started the program; 0 otherwise.
unsigned long& RootRoleWindow();
// The size of the window the full-screen role covers: the root role's window, else the screen.
GdkRectangle FullScreenArea();

// Borderless and maximized: the full-screen role's windows.
bool IsFullScreen(const FormDesign& design);
// Where such a form goes: over every monitor, or over the primary one (x11_forms.cpp).
GdkRectangle FullScreenFormArea(const FormDesign& design);
// Every record of the handle table, in turn.
void ForEachWindowRecord(void (*visit)(WindowRecord& record));
// From now on the full-screen windows cover the screen again whenever its size or its monitors
// change (x11_screen_changes.cpp).
void FollowScreenChanges();

// Raises the shown top-most windows over the others, in the order they became top-most.
void RaiseTopmostWindows();

// The input guard (x11_input_guard.cpp). Of the extended window styles only WS_EX_TRANSPARENT
// means something here: the form becomes, when shown, the input guard. Returns the style before.
std::intptr_t SetExtendedStyle(WindowRecord& form, std::intptr_t style);
void OpenInputGuard(WindowRecord& form);
void CloseInputGuard(WindowRecord& form);
void RaiseInputGuard(const WindowRecord& form);
// Lets go of the keyboard and pointer, so that a dialog of ours can take them.
void ReleaseInputGuardGrabs();
// Before anything covers the screen: takes the keyboard, and the pointer when it can, for the
// guard to take over. False when another client keeps the keyboard all the while.
bool TakeInputBeforeCovering();

// X input to the form's handlers (x11_input.cpp): the Windows virtual-key code and shift state
// of an X key; a press of X button 1 to 3; a move to a point on the screen, when it is a move.
std::int16_t VirtualKeyOf(unsigned long keysym);
std::int16_t ShiftStateOf(unsigned int state);
void DeliverButton(WindowRecord& form, unsigned int button);
void DeliverMotion(WindowRecord& form, int xRoot, int yRoot);

}  // namespace vellomar::x11
