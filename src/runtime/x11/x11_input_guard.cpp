// The input guard on X: an InputOnly window over every monitor, which lets the movie show and
// takes every key, click and move, with the keyboard and pointer grabbed while it is up. Nothing
// covers the screen unless the keyboard could be taken first; a grab another client holds later
// is retried, and meanwhile the keys and clicks that client gets still reach the guard as raw
// input events, so the user is never locked out and never locked in. In the root role the input
// is left to the daemon that started us.
#include "runtime/x11/x11_windows.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <gdk/gdkx.h>

#include <chrono>
#include <thread>

#include "runtime/platform_constants.h"

namespace vellomar::x11 {

namespace {

constexpr guint kGrabRetryMs = 100;
// As long as a menu or a drag may take to let go, before the saver gives up starting.
constexpr auto kFirstGrabTime = std::chrono::seconds(1);

WindowRecord*& OpenGuard() {
  static WindowRecord* open = nullptr;
  return open;
}

guint& GrabRetry() {
  static guint source = 0;
  return source;
}

bool GrabKeyboard(Window window) {
  return XGrabKeyboard(XDisplay(), window, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
         GrabSuccess;
}

bool GrabPointer(Window window) {
  return XGrabPointer(XDisplay(), window, False, ButtonPressMask | PointerMotionMask,
                      GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
}

// What each grab holds, for the raw events to stand in for what the other one misses.
struct Grabs {
  bool keyboard = false;
  bool pointer = false;
};

Grabs& Held() {
  static Grabs held;
  return held;
}

bool Grab(Window window) {
  Held() = Grabs{GrabKeyboard(window), GrabPointer(window)};
  return Held().keyboard && Held().pointer;
}

int& InputExtension() {
  static int opcode = -1;
  return opcode;
}

// Raw key presses and clicks arrive whoever holds the grabs.
void ListenToRawInput() {
  Display* display = XDisplay();
  int event = 0;
  int error = 0;
  if (InputExtension() >= 0 ||
      !XQueryExtension(display, "XInputExtension", &InputExtension(), &event, &error)) {
    return;
  }
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_RawKeyPress);
  XISetMask(bits, XI_RawButtonPress);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
}

void OnRawInput(WindowRecord& form, const XIRawEvent& raw) {
  if (raw.evtype == XI_RawKeyPress && !Held().keyboard) {
    const KeySym key = XkbKeycodeToKeysym(XDisplay(), static_cast<KeyCode>(raw.detail), 0, 0);
    form.events->OnKeyDown(VirtualKeyOf(key), 0);
  } else if (raw.evtype == XI_RawButtonPress && !Held().pointer) {
    DeliverButton(form, static_cast<unsigned>(raw.detail));
  }
}

gboolean RetryGrab(gpointer) {
  WindowRecord* form = OpenGuard();
  if (!form || Grab(form->guard)) {
    GrabRetry() = 0;
    return G_SOURCE_REMOVE;
  }
  return G_SOURCE_CONTINUE;
}

GdkFilterReturn FilterGuardEvents(GdkXEvent* native, GdkEvent*, gpointer) {
  auto* event = static_cast<XEvent*>(native);
  WindowRecord* form = OpenGuard();
  if (form && event->type == GenericEvent && event->xcookie.extension == InputExtension() &&
      event->xcookie.data && GrabRetry() != 0) {
    OnRawInput(*form, *static_cast<const XIRawEvent*>(event->xcookie.data));
    return GDK_FILTER_CONTINUE;
  }
  if (!form || event->xany.window != form->guard) return GDK_FILTER_CONTINUE;
  switch (event->type) {
    case KeyPress:
      form->events->OnKeyDown(VirtualKeyOf(XLookupKeysym(&event->xkey, 0)),
                              ShiftStateOf(event->xkey.state));
      break;
    case ButtonPress:
      DeliverButton(*form, event->xbutton.button);
      break;
    case MotionNotify:
      DeliverMotion(*form, event->xmotion.x_root, event->xmotion.y_root);
      break;
    default: break;
  }
  return GDK_FILTER_REMOVE;
}

}  // namespace

std::intptr_t SetExtendedStyle(WindowRecord& form, std::intptr_t style) {
  // It lets the windows below show and receives every key, click and move.
  const std::intptr_t previous = form.guardsInput ? win::kWsExTransparent : 0;
  form.guardsInput = (style & win::kWsExTransparent) != 0;
  return previous;
}

void OpenInputGuard(WindowRecord& form) {
  if (form.guard) return;
  static const bool filtered = [] {
    gdk_window_add_filter(nullptr, FilterGuardEvents, nullptr);
    return true;
  }();
  (void)filtered;
  Display* display = XDisplay();
  const Window rootRole = RootRoleWindow();
  const GdkRectangle area = FullScreenArea();
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask;
  form.guard = XCreateWindow(display, rootRole ? rootRole : DefaultRootWindow(display), 0, 0,
                             static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                             0, CopyFromParent, InputOnly, CopyFromParent,
                             CWOverrideRedirect | CWEventMask, &attributes);
  // The caption, so that a second start finds the running saver.
  const std::string caption = form.design.caption;
  XStoreName(display, form.guard, caption.c_str());
  XMapRaised(display, form.guard);
  OpenGuard() = &form;
  // Started by a screen saver daemon, which holds the input itself and ends us.
  if (rootRole) {
    XFlush(display);
    return;
  }
  GdkDisplay* gdkDisplay = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gdkDisplay);
  XSetInputFocus(display, form.guard, RevertToParent, CurrentTime);
  gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
  ListenToRawInput();
  if (!Grab(form.guard) && GrabRetry() == 0) {
    GrabRetry() = g_timeout_add(kGrabRetryMs, RetryGrab, nullptr);
  }
  XFlush(display);
}

void CloseInputGuard(WindowRecord& form) {
  if (!form.guard) return;
  if (OpenGuard() == &form) {
    ReleaseInputGuardGrabs();
    OpenGuard() = nullptr;
  }
  XDestroyWindow(XDisplay(), form.guard);
  XFlush(XDisplay());
  form.guard = 0;
}

bool TakeInputBeforeCovering() {
  const Window root = DefaultRootWindow(XDisplay());
  const auto end = std::chrono::steady_clock::now() + kFirstGrabTime;
  while (!GrabKeyboard(root)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // The keyboard is what must be had; the guard retries the pointer.
  GrabPointer(root);
  XFlush(XDisplay());
  return true;
}

void RaiseInputGuard(const WindowRecord& form) { XRaiseWindow(XDisplay(), form.guard); }

void ReleaseInputGuardGrabs() {
  if (GrabRetry() != 0) g_source_remove(GrabRetry());
  GrabRetry() = 0;
  Display* display = XDisplay();
  XUngrabKeyboard(display, CurrentTime);
  XUngrabPointer(display, CurrentTime);
  XFlush(display);
}

}  // namespace vellomar::x11
