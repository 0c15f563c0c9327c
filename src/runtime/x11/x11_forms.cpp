// Native windows for forms and their simple controls: GTK widgets in a GtkFixed, placed in
// twips; and timers.
#include <algorithm>
#include <memory>

#include "runtime/x11/x11_platform.h"
#include "runtime/x11/x11_windows.h"
#include "runtime/raised_error.h"

#include <gdk/gdkx.h>

// Xlib's None would hide BorderStyle::None.
#undef None

namespace vellomar::x11 {

namespace {

void SetColour(cairo_t* cairo, std::uint32_t colour) {
  cairo_set_source_rgb(cairo, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                       ((colour >> 16) & 0xFF) / 255.0);
}

gboolean PaintBackground(GtkWidget* widget, cairo_t* cairo, gpointer data) {
  const auto* record = static_cast<const WindowRecord*>(data);
  SetColour(cairo, record->backColor);
  cairo_rectangle(cairo, 0, 0, gtk_widget_get_allocated_width(widget),
                  gtk_widget_get_allocated_height(widget));
  cairo_fill(cairo);
  return FALSE;  // the children draw next
}

gboolean KeyPressed(GtkWidget* widget, GdkEventKey* event, gpointer data) {
  // Only while no child has the focus, as a form gets keys on Windows.
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(widget));
  if (focus && focus != widget) return FALSE;
  auto* record = static_cast<WindowRecord*>(data);
  record->events->OnKeyDown(VirtualKeyOf(event->keyval), ShiftStateOf(event->state));
  return TRUE;
}

gboolean ButtonPressed(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->type == GDK_BUTTON_PRESS) {
    DeliverButton(*static_cast<WindowRecord*>(data), event->button);
  }
  return FALSE;
}

gboolean PointerMoved(GtkWidget*, GdkEventMotion* event, gpointer data) {
  DeliverMotion(*static_cast<WindowRecord*>(data), static_cast<int>(event->x_root),
                static_cast<int>(event->y_root));
  return FALSE;
}

gboolean CloseRequested(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<WindowRecord*>(data)->events->OnCloseRequest();
  return TRUE;  // the runtime destroys the window if it closes
}

void PointerPosition(int* x, int* y) {
  Display* display = XDisplay();
  Window root = 0;
  Window child = 0;
  int winX = 0;
  int winY = 0;
  unsigned int mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, x, y, &winX, &winY, &mask);
}

class LinuxWindow final : public NativeWindow {
 public:
  explicit LinuxWindow(std::unique_ptr<WindowRecord> record) : record_(std::move(record)) {
    g_object_ref(record_->widget);
    AddWindow(*record_);
  }
  ~LinuxWindow() override {
    CloseInputGuard(*record_);
    RemoveWindow(record_->handle);
    if (record_->carrier) gtk_widget_destroy(record_->carrier);
    gtk_widget_destroy(record_->widget);
    g_object_unref(record_->widget);
  }
  Hwnd Handle() const override { return record_->handle; }
  void Show() override {
    record_->shown = true;
    if (record_->guardsInput) {
      OpenInputGuard(*record_);
    } else {
      gtk_widget_show_all(record_->widget);
      if (record_->design.holdsForeground) gtk_window_present(GTK_WINDOW(record_->widget));
    }
    RaiseTopmostWindows();
  }
  void SetText(const std::string& text) override {
    GtkWidget* widget = record_->widget;
    if (GTK_IS_WINDOW(widget)) gtk_window_set_title(GTK_WINDOW(widget), text.c_str());
    if (GTK_IS_LABEL(widget)) gtk_label_set_text(GTK_LABEL(widget), text.c_str());
    if (GTK_IS_BUTTON(widget)) gtk_button_set_label(GTK_BUTTON(widget), text.c_str());
  }
  void Move(const Placement& placement) override {
    const int width = std::max(1, TwipsToPixels(placement.width));
    const int height = std::max(1, TwipsToPixels(placement.height));
    GtkWidget* widget = record_->widget;
    if (GTK_IS_WINDOW(widget)) {
      gtk_window_move(GTK_WINDOW(widget), TwipsToPixels(placement.left),
                      TwipsToPixels(placement.top));
      gtk_window_resize(GTK_WINDOW(widget), width, height);
      return;
    }
    gtk_widget_set_size_request(widget, width, height);
    if (record_->carrier) {
      gtk_window_resize(GTK_WINDOW(record_->carrier), width, height);
    } else if (GtkWidget* parent = gtk_widget_get_parent(widget); GTK_IS_FIXED(parent)) {
      gtk_fixed_move(GTK_FIXED(parent), widget, TwipsToPixels(placement.left),
                     TwipsToPixels(placement.top));
    }
  }

 private:
  std::unique_ptr<WindowRecord> record_;
};

GtkWidget* FixedOf(Hwnd parent) {
  WindowRecord* record = FindWindowRecord(parent);
  if (!record || !record->fixed) throw RaisedError(kErrInternal, "Cannot create a window");
  return record->fixed;
}

void PlaceChild(GtkWidget* fixed, GtkWidget* child, const Placement& placement) {
  gtk_widget_set_size_request(child, std::max(1, TwipsToPixels(placement.width)),
                              std::max(1, TwipsToPixels(placement.height)));
  gtk_fixed_put(GTK_FIXED(fixed), child, TwipsToPixels(placement.left),
                TwipsToPixels(placement.top));
  gtk_widget_show(child);
}

class LinuxTimer final : public NativeTimer {
 public:
  explicit LinuxTimer(TimerEvents& events) : events_(events) {}
  ~LinuxTimer() override { Stop(); }
  void Start(std::uint32_t intervalMs) override {
    Stop();
    source_ = g_timeout_add(intervalMs, Tick, this);
    if (source_ == 0) throw RaisedError(kErrInternal, "Cannot create a timer");
  }
  void Stop() override {
    if (source_ != 0) g_source_remove(source_);
    source_ = 0;
  }

 private:
  static gboolean Tick(gpointer data) {
    static_cast<LinuxTimer*>(data)->events_.OnTick();
    return G_SOURCE_CONTINUE;
  }
  TimerEvents& events_;
  guint source_ = 0;
};

}  // namespace

bool IsFullScreen(const FormDesign& design) {
  return design.state == WindowState::Maximized && design.border == BorderStyle::None;
}

GdkRectangle FullScreenFormArea(const FormDesign& design) {
  // The root window spans every monitor; a single monitor's full screen is the primary one, or
  // the first when none is marked primary.
  GdkRectangle area = FullScreenArea();
  if (!design.coversEveryMonitor && !RootRoleWindow()) {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* primary = gdk_display_get_primary_monitor(display);
    gdk_monitor_get_geometry(primary ? primary : gdk_display_get_monitor(display, 0), &area);
  }
  return area;
}

std::unique_ptr<NativeWindow> X11Platform::CreateFormWindow(const FormDesign& design,
                                                              WindowEvents& events) {
  auto record = std::make_unique<WindowRecord>();
  record->isForm = true;
  record->design = design;
  record->events = &events;
  record->backColor = design.backColor;
  const bool fullScreen = IsFullScreen(design);
  // Borderless windows are outside the window manager's reach, as they are on Windows.
  GtkWidget* window =
      gtk_window_new(design.border == BorderStyle::None ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
  record->widget = window;
  gtk_window_set_title(GTK_WINDOW(window), design.caption.c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), design.border == BorderStyle::Sizable);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window), !design.showInTaskbar);
  gtk_widget_set_app_paintable(window, TRUE);
  record->fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), record->fixed);
  if (fullScreen) {
    const GdkRectangle area = FullScreenFormArea(design);
    gtk_window_move(GTK_WINDOW(window), area.x, area.y);
    gtk_widget_set_size_request(window, area.width, area.height);
    FollowScreenChanges();
  } else {
    gtk_widget_set_size_request(record->fixed, std::max(1, TwipsToPixels(design.clientWidth)),
                                std::max(1, TwipsToPixels(design.clientHeight)));
    if (design.centred) gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    if (design.state == WindowState::Maximized) gtk_window_maximize(GTK_WINDOW(window));
  }
  gtk_widget_add_events(window, GDK_KEY_PRESS_MASK | GDK_BUTTON_PRESS_MASK |
                                    GDK_POINTER_MOTION_MASK);
  PointerPosition(&record->pointerX, &record->pointerY);
  WindowRecord* data = record.get();
  g_signal_connect(window, "draw", G_CALLBACK(PaintBackground), data);
  g_signal_connect(window, "key-press-event", G_CALLBACK(KeyPressed), data);
  g_signal_connect(window, "button-press-event", G_CALLBACK(ButtonPressed), data);
  g_signal_connect(window, "motion-notify-event", G_CALLBACK(PointerMoved), data);
  g_signal_connect(window, "delete-event", G_CALLBACK(CloseRequested), data);
  gtk_widget_realize(window);
  if (fullScreen && RootRoleWindow()) {
    XReparentWindow(XDisplay(), XidOf(window), RootRoleWindow(), 0, 0);
  }
  return std::make_unique<LinuxWindow>(std::move(record));
}

std::unique_ptr<NativeWindow> X11Platform::CreatePictureBox(Hwnd parent,
                                                              const Placement& placement,
                                                              std::uint32_t backColor) {
  GtkWidget* parentFixed = FixedOf(parent);
  auto record = std::make_unique<WindowRecord>();
  record->backColor = backColor;
  record->widget = gtk_event_box_new();
  gtk_widget_set_app_paintable(record->widget, TRUE);
  record->fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(record->widget), record->fixed);
  gtk_widget_show(record->fixed);
  g_signal_connect(record->widget, "draw", G_CALLBACK(PaintBackground), record.get());
  PlaceChild(parentFixed, record->widget, placement);
  return std::make_unique<LinuxWindow>(std::move(record));
}

std::unique_ptr<NativeWindow> X11Platform::CreateLabel(Hwnd parent, const Placement& placement,
                                                         const FontDesign& font) {
  GtkWidget* parentFixed = FixedOf(parent);
  auto record = std::make_unique<WindowRecord>();
  record->widget = gtk_label_new("");
  gtk_label_set_line_wrap(GTK_LABEL(record->widget), TRUE);
  gtk_label_set_xalign(GTK_LABEL(record->widget), 0);
  gtk_label_set_yalign(GTK_LABEL(record->widget), 0);
  PangoAttrList* attributes = pango_attr_list_new();
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, font.name.c_str());
  pango_font_description_set_size(description, static_cast<gint>(font.points * PANGO_SCALE));
  pango_attr_list_insert(attributes, pango_attr_font_desc_new(description));
  gtk_label_set_attributes(GTK_LABEL(record->widget), attributes);
  // Wrapped at about the placed width, so that its natural width never widens the form.
  PangoFontMetrics* metrics = pango_context_get_metrics(
      gtk_widget_get_pango_context(record->widget), description, nullptr);
  const int charWidth = std::max({1, pango_font_metrics_get_approximate_char_width(metrics),
                                  pango_font_metrics_get_approximate_digit_width(metrics)});
  pango_font_metrics_unref(metrics);
  gtk_label_set_max_width_chars(GTK_LABEL(record->widget),
                                TwipsToPixels(placement.width) * PANGO_SCALE / charWidth);
  pango_font_description_free(description);
  pango_attr_list_unref(attributes);
  PlaceChild(parentFixed, record->widget, placement);
  return std::make_unique<LinuxWindow>(std::move(record));
}

std::unique_ptr<NativeWindow> X11Platform::CreateButton(Hwnd parent, const Placement& placement,
                                                          const std::string& caption,
                                                          WindowEvents& events) {
  GtkWidget* parentFixed = FixedOf(parent);
  auto record = std::make_unique<WindowRecord>();
  record->events = &events;
  record->widget = gtk_button_new_with_label(caption.c_str());
  // The theme's least height and padding would outgrow the placed size.
  static GtkCssProvider* const placedSize = [] {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, "button { min-height: 0; padding: 0 4px; }", -1,
                                    nullptr);
    return provider;
  }();
  gtk_style_context_add_provider(gtk_widget_get_style_context(record->widget),
                                 GTK_STYLE_PROVIDER(placedSize),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_widget_set_can_default(record->widget, TRUE);
  g_signal_connect(record->widget, "clicked", G_CALLBACK(+[](GtkButton*, gpointer data) {
                     static_cast<WindowRecord*>(data)->events->OnClick();
                   }),
                   record.get());
  PlaceChild(parentFixed, record->widget, placement);
  // Enter presses the button, as the default button of a dialog.
  gtk_widget_grab_default(record->widget);
  gtk_widget_grab_focus(record->widget);
  return std::make_unique<LinuxWindow>(std::move(record));
}

std::unique_ptr<NativeTimer> X11Platform::CreateTimer(TimerEvents& events) {
  return std::make_unique<LinuxTimer>(events);
}

}  // namespace vellomar::x11
