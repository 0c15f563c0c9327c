// Native windows for forms and their simple controls (GTK widgets in a GtkFixed, placed in
// twips), timers, the handle table, and the window manager calls over GTK and Xlib.
#include "runtime/linux/linux_windows.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <vector>

#include "runtime/linux/linux_platform.h"
#include "runtime/platform_constants.h"
#include "runtime/raised_error.h"

// Xlib's None would hide BorderStyle::None; X's own None is spelled 0 here.
#undef None

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

// The procedure a window has before the program hooks it; it handles nothing.
LResult VELLOMAR_CALLBACK DefaultWindowProc(Hwnd, std::uint32_t, WParam, LParam) { return 0; }

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
  if (event->type != GDK_BUTTON_PRESS) return FALSE;
  static constexpr std::int16_t kButtons[] = {0, 1, 4, 2};  // X: left, middle, right
  if (event->button < 1 || event->button > 3) return FALSE;
  static_cast<WindowRecord*>(data)->events->OnMouseDown(kButtons[event->button]);
  return FALSE;
}

gboolean PointerMoved(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* record = static_cast<WindowRecord*>(data);
  const int x = static_cast<int>(event->x_root);
  const int y = static_cast<int>(event->y_root);
  // X reports motion on map and on grabs at the same position: only a change is a move.
  if (x == record->pointerX && y == record->pointerY) return FALSE;
  record->pointerX = x;
  record->pointerY = y;
  record->events->OnMouseMove();
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
    if (record_->exStyle & win::kWsExTransparent) {
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

WindowRecord* RecordOfFixed(GtkWidget* fixed) {
  for (auto& [handle, record] : Table()) {
    if (fixed && record->fixed == fixed) return record;
  }
  return nullptr;
}

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

// Attributes of a foreign window; false when it is gone.
bool ForeignAttributes(Hwnd hwnd, XWindowAttributes* attributes) {
  if (!IsForeignHandle(hwnd)) return false;
  GdkDisplay* display = gdk_display_get_default();
  gdk_x11_display_error_trap_push(display);
  const Status status = XGetWindowAttributes(XDisplay(), static_cast<Window>(hwnd), attributes);
  return gdk_x11_display_error_trap_pop(display) == 0 && status != 0;
}

Window XidOf(GtkWidget* widget) {
  GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr;
  return window ? gdk_x11_window_get_xid(window) : 0;
}

gboolean FitCarrier(gpointer data) {
  WindowRecord* record = FindWindowRecord(GPOINTER_TO_INT(data));
  XWindowAttributes pane{};
  if (record && record->carrier && ForeignAttributes(record->carrierParent, &pane)) {
    gtk_window_resize(GTK_WINDOW(record->carrier), std::max(1, pane.width),
                      std::max(1, pane.height));
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

// ---- shared helpers ----

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
  XWindowAttributes target{};
  if (RootRoleWindow() &&
      ForeignAttributes(static_cast<Hwnd>(RootRoleWindow()), &target)) {
    return GdkRectangle{0, 0, target.width, target.height};
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

WindowRecord* RecordOfWidget(GtkWidget* widget) {
  for (auto& [handle, record] : Table()) {
    if (record->widget == widget) return record;
  }
  return nullptr;
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

// ---- native objects ----

std::unique_ptr<NativeWindow> LinuxPlatform::CreateFormWindow(const FormDesign& design,
                                                              WindowEvents& events) {
  auto record = std::make_unique<WindowRecord>();
  record->isForm = true;
  record->design = design;
  record->events = &events;
  record->backColor = design.backColor;
  const bool fullScreen =
      design.state == WindowState::Maximized && design.border == BorderStyle::None;
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
    // The root window spans every monitor; a single monitor's full screen is the first one.
    GdkRectangle area = FullScreenArea();
    if (!design.coversEveryMonitor && !RootRoleWindow()) {
      gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_display_get_default(), 0), &area);
    }
    gtk_window_move(GTK_WINDOW(window), area.x, area.y);
    gtk_widget_set_size_request(window, area.width, area.height);
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

std::unique_ptr<NativeWindow> LinuxPlatform::CreatePictureBox(Hwnd parent,
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

std::unique_ptr<NativeWindow> LinuxPlatform::CreateLabel(Hwnd parent, const Placement& placement,
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
  pango_font_description_free(description);
  pango_attr_list_unref(attributes);
  PlaceChild(parentFixed, record->widget, placement);
  return std::make_unique<LinuxWindow>(std::move(record));
}

std::unique_ptr<NativeWindow> LinuxPlatform::CreateButton(Hwnd parent, const Placement& placement,
                                                          const std::string& caption,
                                                          WindowEvents& events) {
  GtkWidget* parentFixed = FixedOf(parent);
  auto record = std::make_unique<WindowRecord>();
  record->events = &events;
  record->widget = gtk_button_new_with_label(caption.c_str());
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

std::unique_ptr<NativeTimer> LinuxPlatform::CreateTimer(TimerEvents& events) {
  return std::make_unique<LinuxTimer>(events);
}

// ---- window manager ----

Hwnd LinuxPlatform::FindWindowA(const char* className, const std::string& windowName) {
  // Our forms have no class of their own to match.
  if (className) return 0;
  Display* display = XDisplay();
  GdkDisplay* gdkDisplay = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gdkDisplay);
  const Window found = FindNamed(display, DefaultRootWindow(display), windowName, 3);
  gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
  if (!found) return 0;
  for (auto& [handle, record] : Table()) {
    if (record->guard == found || XidOf(record->widget) == found) return handle;
  }
  return static_cast<Hwnd>(found);
}

std::int32_t LinuxPlatform::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, std::int32_t x,
                                         std::int32_t y, std::int32_t cx, std::int32_t cy,
                                         std::uint32_t flags) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record) return 0;
  if (insertAfter == win::kHwndTopmost || insertAfter == win::kHwndNoTopmost) {
    record->topmost = insertAfter == win::kHwndTopmost;
    std::erase(TopmostOrder(), hwnd);
    if (record->topmost) TopmostOrder().push_back(hwnd);
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

std::intptr_t LinuxPlatform::SetWindowLongA(Hwnd hwnd, std::int32_t index,
                                            std::intptr_t newLong) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record) return 0;
  if (index == win::kGwlExStyle) {
    // A transparent form becomes, when shown, an input guard: it lets the windows below show
    // and receives every key, click and move.
    const std::intptr_t previous = record->exStyle;
    record->exStyle = newLong;
    return previous;
  }
  if (index == win::kGwlWndProc) {
    const std::intptr_t previous =
        record->wndProc ? record->wndProc : reinterpret_cast<std::intptr_t>(&DefaultWindowProc);
    record->wndProc =
        newLong == reinterpret_cast<std::intptr_t>(&DefaultWindowProc) ? 0 : newLong;
    return previous;
  }
  return 0;
}

LResult LinuxPlatform::CallWindowProcA(std::intptr_t prevProc, Hwnd hwnd, std::uint32_t msg,
                                       WParam wParam, LParam lParam) {
  if (prevProc == 0) return 0;
  return reinterpret_cast<WndProc>(prevProc)(hwnd, msg, wParam, lParam);
}

Hwnd LinuxPlatform::SetParent(Hwnd child, Hwnd newParent) {
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
  XWindowAttributes pane{};
  if (!ForeignAttributes(newParent, &pane)) return 0;
  // A popup of our own carries the widget into the foreign window, sized to it.
  GtkWidget* carrier = record->carrier;
  if (!carrier) {
    carrier = gtk_window_new(GTK_WINDOW_POPUP);
    Detach(widget);
    gtk_container_add(GTK_CONTAINER(carrier), widget);
  }
  gtk_window_resize(GTK_WINDOW(carrier), std::max(1, pane.width), std::max(1, pane.height));
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

std::int32_t LinuxPlatform::GetClientRect(Hwnd hwnd, Rect* rect) {
  if (WindowRecord* record = FindWindowRecord(hwnd)) {
    GtkWidget* inner = record->fixed ? record->fixed : record->widget;
    *rect = inner ? Rect{0, 0, gtk_widget_get_allocated_width(inner),
                         gtk_widget_get_allocated_height(inner)}
                  : Rect{};
    return 1;
  }
  XWindowAttributes attributes{};
  if (!ForeignAttributes(hwnd, &attributes)) return 0;
  *rect = Rect{0, 0, attributes.width, attributes.height};
  return 1;
}

std::int32_t LinuxPlatform::IsWindow(Hwnd hwnd) {
  if (FindWindowRecord(hwnd)) return 1;
  XWindowAttributes attributes{};
  return ForeignAttributes(hwnd, &attributes) ? 1 : 0;
}

}  // namespace vellomar::x11
