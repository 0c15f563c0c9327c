// The handle table, and what the window calls share: the display, twips, Windows paths, the root
// role's window, and the top-most order with the restacking that keeps it above other windows.
#include "runtime/x11/x11_windows.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <map>
#include <vector>

#include "runtime/platform_constants.h"

namespace vellomar::x11 {

namespace {

std::map<Hwnd, WindowRecord*>& Table() {
  static std::map<Hwnd, WindowRecord*> table;
  return table;
}

Hwnd& NextHandle() {
  static Hwnd next = kFirstOwnHandle;
  return next;
}

// Top-most windows in the order they became so: the last one raised ends on top.
std::vector<Hwnd>& TopmostOrder() {
  static std::vector<Hwnd> order;
  return order;
}

// A carrier destroyed with the foreign window it sat in reaches the hooked procedure as a close
// before GTK takes the destroyed window's widgets down.
void HandleEvent(GdkEvent* event, gpointer) {
  if (event->type == GDK_DESTROY) {
    gpointer owner = nullptr;
    gdk_window_get_user_data(event->any.window, &owner);
    for (auto& [handle, record] : Table()) {
      if (record->carrier && record->carrier == owner && record->wndProc) {
        reinterpret_cast<WndProc>(record->wndProc)(handle, win::kWmClose, 0, 0);
        break;
      }
    }
  }
  gtk_main_do_event(event);
}

}  // namespace

std::string LocalPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

Display* XDisplay() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

double ScreenDpi() {
  const double dpi = gdk_screen_get_resolution(gdk_screen_get_default());
  return dpi > 0 ? dpi : 96.0;
}

int TwipsToPixels(std::int32_t twips) {
  return static_cast<int>(twips * ScreenDpi() / 1440.0 + (twips >= 0 ? 0.5 : -0.5));
}

unsigned long& RootRoleWindow() {
  static unsigned long window = 0;
  return window;
}

GdkRectangle FullScreenArea() {
  Display* display = XDisplay();
  const int screen = DefaultScreen(display);
  int width = 0;
  int height = 0;
  if (RootRoleWindow() && ForeignSize(static_cast<Hwnd>(RootRoleWindow()), &width, &height)) {
    return GdkRectangle{0, 0, width, height};
  }
  return GdkRectangle{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

Hwnd AddWindow(WindowRecord& record) {
  static const bool handlerSet = [] {
    gdk_event_handler_set(HandleEvent, nullptr, nullptr);
    return true;
  }();
  (void)handlerSet;
  record.handle = NextHandle()++;
  Table()[record.handle] = &record;
  return record.handle;
}

void RemoveWindow(Hwnd handle) {
  Table().erase(handle);
  std::erase(TopmostOrder(), handle);
}

WindowRecord* FindWindowRecord(Hwnd handle) {
  const auto found = Table().find(handle);
  return found == Table().end() ? nullptr : found->second;
}

WindowRecord* RecordOfFixed(GtkWidget* fixed) {
  for (auto& [handle, record] : Table()) {
    if (fixed && record->fixed == fixed) return record;
  }
  return nullptr;
}

void ForEachWindowRecord(void (*visit)(WindowRecord& record)) {
  for (auto& [handle, record] : Table()) visit(*record);
}

bool IsForeignHandle(Hwnd handle) { return handle > 0 && handle < kFirstOwnHandle; }

void RaiseTopmostWindows() {
  for (Hwnd handle : TopmostOrder()) {
    WindowRecord* record = FindWindowRecord(handle);
    if (!record || !record->shown) continue;
    if (record->guard) {
      RaiseInputGuard(*record);
    } else if (GdkWindow* window = gtk_widget_get_window(record->widget)) {
      gdk_window_raise(window);
    }
  }
}

namespace {

// The backdrop first, then the top-most windows in their order.
gboolean RestackOverOthers(gpointer pending) {
  *static_cast<guint*>(pending) = 0;
  for (auto& [handle, record] : Table()) {
    if (record->shown && record->isForm && record->design.coversEveryMonitor && !record->topmost) {
      if (GdkWindow* window = gtk_widget_get_window(record->widget)) gdk_window_raise(window);
    }
  }
  RaiseTopmostWindows();
  return G_SOURCE_REMOVE;
}

// A window that another client maps or restacks while ours are top-most goes under them again:
// ours are outside any window manager's stacking, so a full-screen program on X sees to it
// itself. One restack per burst of events, after them.
GdkFilterReturn KeepTopmostAbove(GdkXEvent* native, GdkEvent*, gpointer) {
  static guint pending = 0;
  const auto* event = static_cast<const XEvent*>(native);
  Window other = 0;
  if (event->type == MapNotify) other = event->xmap.window;
  if (event->type == ConfigureNotify) other = event->xconfigure.window;
  if (other && HandleOfXid(other) == 0 && !TopmostOrder().empty() && pending == 0) {
    pending = g_idle_add(RestackOverOthers, &pending);
  }
  return GDK_FILTER_CONTINUE;
}

// Asks for every map and restack on the root, added to what this client already asks of it.
void WatchStacking() {
  static const bool watching = [] {
    Display* display = XDisplay();
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XSelectInput(display, root, attributes.your_event_mask | SubstructureNotifyMask);
    gdk_window_add_filter(nullptr, KeepTopmostAbove, nullptr);
    return true;
  }();
  (void)watching;
}

}  // namespace

void SetTopmost(Hwnd handle, bool topmost) {
  std::erase(TopmostOrder(), handle);
  if (topmost) TopmostOrder().push_back(handle);
  // In the root role the daemon's window is ours to draw into, and the daemon stacks it.
  if (topmost && !RootRoleWindow()) WatchStacking();
}

bool ForeignSize(Hwnd hwnd, int* width, int* height) {
  if (!IsForeignHandle(hwnd)) return false;
  GdkDisplay* display = gdk_display_get_default();
  XWindowAttributes attributes{};
  gdk_x11_display_error_trap_push(display);
  const Status status = XGetWindowAttributes(XDisplay(), static_cast<Window>(hwnd), &attributes);
  if (gdk_x11_display_error_trap_pop(display) != 0 || status == 0) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

unsigned long XidOf(GtkWidget* widget) {
  GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr;
  return window ? gdk_x11_window_get_xid(window) : 0;
}

Hwnd HandleOfXid(unsigned long xid) {
  for (auto& [handle, record] : Table()) {
    // Only windows that are native already: asking a child widget's window for its X id would
    // make it native, which changes how the web view draws.
    GdkWindow* window = record->widget ? gtk_widget_get_window(record->widget) : nullptr;
    const bool native = window && gdk_window_has_native(window);
    if (record->guard == xid || (native && gdk_x11_window_get_xid(window) == xid)) return handle;
  }
  return 0;
}

}  // namespace vellomar::x11
