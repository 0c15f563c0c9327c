// The window manager calls over GTK and Xlib: finding windows by caption across processes,
// top-most order, extended styles and window procedures, parents (foreign X windows among them),
// client sizes and liveness.
#include <algorithm>
#include <cctype>

#include "runtime/x11/x11_platform.h"
#include "runtime/x11/x11_windows.h"
#include "runtime/platform_constants.h"

#include <gdk/gdkx.h>

namespace vellomar::x11 {

namespace {

// The procedure a window has before the program hooks it; it handles nothing.
LResult VELLOMAR_CALLBACK DefaultWindowProc(Hwnd, std::uint32_t, WParam, LParam) { return 0; }

// Window names compare without regard to case, as captions do on Windows.
bool SameName(const char* a, const std::string& b) {
  const std::string name(a);
  return name.size() == b.size() &&
         std::equal(name.begin(), name.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Top-level windows and, under a reparenting window manager, the clients inside the frames.
Window FindNamed(Display* display, Window parent, const std::string& name, int depth) {
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = count; i-- > 0 && !found;) {
    char* text = nullptr;
    if (XFetchName(display, children[i], &text) && text) {
      if (SameName(text, name)) found = children[i];
      XFree(text);
    }
    if (!found && depth > 1) found = FindNamed(display, children[i], name, depth - 1);
  }
  if (children) XFree(children);
  return found;
}

gboolean FitCarrier(gpointer data) {
  WindowRecord* record = FindWindowRecord(GPOINTER_TO_INT(data));
  int width = 0;
  int height = 0;
  if (record && record->carrier && ForeignSize(record->carrierParent, &width, &height)) {
    gtk_window_resize(GTK_WINDOW(record->carrier), std::max(1, width), std::max(1, height));
  }
  return G_SOURCE_REMOVE;
}

gboolean DestroyCarrier(gpointer carrier) {
  gtk_widget_destroy(GTK_WIDGET(carrier));
  g_object_unref(carrier);
  return G_SOURCE_REMOVE;
}

// Takes the widget out of wherever it is, keeping it alive.
void Detach(GtkWidget* widget) {
  if (GtkWidget* parent = gtk_widget_get_parent(widget)) {
    gtk_container_remove(GTK_CONTAINER(parent), widget);
  }
}

}  // namespace

Hwnd X11Platform::FindWindowA(const char* className, const std::string& windowName) {
  // Our forms have no class of their own to match.
  if (className) return 0;
  Display* display = XDisplay();
  GdkDisplay* gdkDisplay = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gdkDisplay);
  const Window found = FindNamed(display, DefaultRootWindow(display), windowName, 3);
  gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
  if (!found) return 0;
  const Hwnd ours = HandleOfXid(found);
  return ours ? ours : static_cast<Hwnd>(found);
}

std::int32_t X11Platform::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, std::int32_t x,
                                         std::int32_t y, std::int32_t cx, std::int32_t cy,
                                         std::uint32_t flags) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record) return 0;
  if (insertAfter == win::kHwndTopmost || insertAfter == win::kHwndNoTopmost) {
    record->topmost = insertAfter == win::kHwndTopmost;
    SetTopmost(hwnd, record->topmost);
    if (GTK_IS_WINDOW(record->widget)) {
      gtk_window_set_keep_above(GTK_WINDOW(record->widget), record->topmost);
    }
  }
  if (GTK_IS_WINDOW(record->widget)) {
    if (!(flags & win::kSwpNoMove)) gtk_window_move(GTK_WINDOW(record->widget), x, y);
    if (!(flags & win::kSwpNoSize)) gtk_window_resize(GTK_WINDOW(record->widget), cx, cy);
  }
  RaiseTopmostWindows();
  return 1;
}

std::intptr_t X11Platform::SetWindowLongA(Hwnd hwnd, std::int32_t index,
                                            std::intptr_t newLong) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record) return 0;
  if (index == win::kGwlExStyle) return SetExtendedStyle(*record, newLong);
  if (index == win::kGwlWndProc) {
    const std::intptr_t previous =
        record->wndProc ? record->wndProc : reinterpret_cast<std::intptr_t>(&DefaultWindowProc);
    record->wndProc =
        newLong == reinterpret_cast<std::intptr_t>(&DefaultWindowProc) ? 0 : newLong;
    return previous;
  }
  return 0;
}

LResult X11Platform::CallWindowProcA(std::intptr_t prevProc, Hwnd hwnd, std::uint32_t msg,
                                       WParam wParam, LParam lParam) {
  if (prevProc == 0) return 0;
  return reinterpret_cast<WndProc>(prevProc)(hwnd, msg, wParam, lParam);
}

Hwnd X11Platform::SetParent(Hwnd child, Hwnd newParent) {
  WindowRecord* record = FindWindowRecord(child);
  if (!record || record->isForm) return 0;
  GtkWidget* widget = record->widget;
  const WindowRecord* previous = RecordOfFixed(gtk_widget_get_parent(widget));
  const Hwnd previousHandle =
      record->carrier ? record->carrierParent : previous ? previous->handle : 0;
  if (WindowRecord* ours = FindWindowRecord(newParent)) {
    if (!ours->fixed) return 0;
    Detach(widget);
    gtk_fixed_put(GTK_FIXED(ours->fixed), widget, 0, 0);
    // Later: this may run while GTK still handles the carrier's destruction.
    if (record->carrier) g_idle_add(DestroyCarrier, g_object_ref(record->carrier));
    record->carrier = nullptr;
    return previousHandle;
  }
  int paneWidth = 0;
  int paneHeight = 0;
  if (!ForeignSize(newParent, &paneWidth, &paneHeight)) return 0;
  // A popup of our own carries the widget into the foreign window, sized to it.
  GtkWidget* carrier = record->carrier;
  if (!carrier) {
    carrier = gtk_window_new(GTK_WINDOW_POPUP);
    Detach(widget);
    gtk_container_add(GTK_CONTAINER(carrier), widget);
  }
  gtk_window_resize(GTK_WINDOW(carrier), std::max(1, paneWidth), std::max(1, paneHeight));
  gtk_widget_realize(carrier);
  GdkDisplay* display = gdk_display_get_default();
  gdk_x11_display_error_trap_push(display);
  XReparentWindow(XDisplay(), XidOf(carrier), static_cast<Window>(newParent), 0, 0);
  if (gdk_x11_display_error_trap_pop(display) != 0) return 0;
  record->carrier = carrier;
  record->carrierParent = newParent;
  gtk_widget_show_all(carrier);
  // Children placed larger than the pane grow the popup; once they are placed, it takes the
  // pane's size again, as a child window is clipped by its parent.
  g_idle_add(FitCarrier, GINT_TO_POINTER(child));
  return previousHandle;
}

std::int32_t X11Platform::GetClientRect(Hwnd hwnd, Rect* rect) {
  if (WindowRecord* record = FindWindowRecord(hwnd)) {
    GtkWidget* inner = record->fixed ? record->fixed : record->widget;
    *rect = inner ? Rect{0, 0, gtk_widget_get_allocated_width(inner),
                         gtk_widget_get_allocated_height(inner)}
                  : Rect{};
    return 1;
  }
  int width = 0;
  int height = 0;
  if (!ForeignSize(hwnd, &width, &height)) return 0;
  *rect = Rect{0, 0, width, height};
  return 1;
}

std::int32_t X11Platform::IsWindow(Hwnd hwnd) {
  if (FindWindowRecord(hwnd)) return 1;
  int width = 0;
  int height = 0;
  return ForeignSize(hwnd, &width, &height) ? 1 : 0;
}

}  // namespace vellomar::x11
