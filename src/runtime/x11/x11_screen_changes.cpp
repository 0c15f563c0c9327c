// The full-screen windows follow the screen: when its size or its monitors change (a monitor wakes
// with another mode, a dock, a program changes the mode), they cover it again, and a child that
// covered its window, the movie, covers it again; no part of the desktop shows or takes a click.
#include "runtime/x11/x11_windows.h"

// Last: Xlib's None would hide BorderStyle::None.
#include <gdk/gdkx.h>

namespace vellomar::x11 {

namespace {

void Refit(WindowRecord& record) {
  if (!record.isForm || !record.shown || !IsFullScreen(record.design)) return;
  const GdkRectangle area = FullScreenFormArea(record.design);
  if (record.guard) {
    XMoveResizeWindow(XDisplay(), record.guard, 0, 0, static_cast<unsigned>(area.width),
                      static_cast<unsigned>(area.height));
    return;
  }
  int oldWidth = 0;
  int oldHeight = 0;
  gtk_widget_get_size_request(record.widget, &oldWidth, &oldHeight);
  gtk_window_move(GTK_WINDOW(record.widget), area.x, area.y);
  gtk_widget_set_size_request(record.widget, area.width, area.height);
  gtk_window_resize(GTK_WINDOW(record.widget), area.width, area.height);
  GList* children = gtk_container_get_children(GTK_CONTAINER(record.fixed));
  for (GList* child = children; child; child = child->next) {
    auto* widget = static_cast<GtkWidget*>(child->data);
    int width = 0;
    int height = 0;
    gtk_widget_get_size_request(widget, &width, &height);
    if (width >= oldWidth && height >= oldHeight) {
      gtk_fixed_move(GTK_FIXED(record.fixed), widget, 0, 0);
      gtk_widget_set_size_request(widget, area.width, area.height);
    }
  }
  g_list_free(children);
}

void OnScreenChanged(GdkScreen*, gpointer) {
  ForEachWindowRecord(Refit);
  XFlush(XDisplay());
}

}  // namespace

void FollowScreenChanges() {
  static const bool following = [] {
    GdkScreen* screen = gdk_screen_get_default();
    g_signal_connect(screen, "size-changed", G_CALLBACK(OnScreenChanged), nullptr);
    g_signal_connect(screen, "monitors-changed", G_CALLBACK(OnScreenChanged), nullptr);
    return true;
  }();
  (void)following;
}

}  // namespace vellomar::x11
