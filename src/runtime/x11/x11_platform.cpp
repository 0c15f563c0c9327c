#include "runtime/x11/x11_platform.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>
#include <gdk/gdkx.h>
#include <fcntl.h>
#include <glib.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "runtime/x11/x11_error_log.h"
#include "runtime/x11/x11_switches.h"
#include "runtime/x11/x11_windows.h"
#include "runtime/platform_constants.h"

namespace vellomar::x11 {

namespace {

constexpr std::uintmax_t kErrorLogLimit = 1 << 20;

// Valid UTF-8 passes; each byte that starts no valid sequence becomes '?'.
std::string ValidUtf8(std::string_view text) {
  std::string result;
  const char* at = text.data();
  const char* end = text.data() + text.size();
  while (at < end) {
    const gchar* validEnd = nullptr;
    g_utf8_validate_len(at, static_cast<gsize>(end - at), &validEnd);
    result.append(at, validEnd);
    at = validEnd;
    if (at < end) {
      result += '?';
      ++at;
    }
  }
  return result;
}

// XScreenSaver names the window to draw into; else a virtual root of the window manager; else
// the root window.
unsigned long RootRoleTarget() {
  if (const char* named = std::getenv("XSCREENSAVER_WINDOW")) {
    if (const auto id = WindowIdOf(named); id && *id != 0) return static_cast<unsigned long>(*id);
  }
  Display* display = XDisplay();
  const Window root = DefaultRootWindow(display);
  const Atom virtualRoot = XInternAtom(display, "__SWM_VROOT", False);
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  Window found = root;
  if (XQueryTree(display, root, &parent, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == root; ++i) {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0;
      unsigned long after = 0;
      unsigned char* value = nullptr;
      if (XGetWindowProperty(display, children[i], virtualRoot, 0, 1, False, XA_WINDOW, &type,
                             &format, &items, &after, &value) == Success &&
          value && items == 1) {
        found = *reinterpret_cast<Window*>(value);
      }
      if (value) XFree(value);
    }
  }
  if (children) XFree(children);
  return found;
}

// The server drops our grabs and windows with the connection; nothing of ours runs after.
[[noreturn]] void EndNow(int exitCode) {
  std::fflush(nullptr);
  XSync(XDisplay(), False);
  _exit(exitCode);
}

// The root role lives as long as the window it draws into: a settings app that shows it in a
// preview may go without a word.
GdkFilterReturn EndWithTheRootRoleWindow(GdkXEvent* native, GdkEvent*, gpointer) {
  const auto* event = static_cast<const XEvent*>(native);
  if (event->type == DestroyNotify && event->xdestroywindow.window == RootRoleWindow()) {
    EndNow(0);
  }
  return GDK_FILTER_CONTINUE;
}

}  // namespace

X11Platform::X11Platform(std::vector<std::string> args)
    : args_(std::move(args)), settings_(SettingsStore::FromEnvironment()) {
  if (IsRootRole(args_)) RootRoleWindow() = RootRoleTarget();
}

bool X11Platform::CoversTheScreenAlone() const { return IsStandaloneFullScreen(args_); }

bool X11Platform::TakeInputBeforeCovering() { return x11::TakeInputBeforeCovering(); }

bool X11Platform::WatchTheRootRoleWindow() {
  const Window window = RootRoleWindow();
  Display* display = XDisplay();
  if (!window || window == DefaultRootWindow(display)) return true;
  gdk_window_add_filter(nullptr, EndWithTheRootRoleWindow, nullptr);
  GdkDisplay* gdkDisplay = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gdkDisplay);
  // Added to what this client already asks of the window, and checked after: the window may go
  // at any moment.
  XWindowAttributes attributes{};
  const bool exists = XGetWindowAttributes(display, window, &attributes) != 0;
  if (exists) {
    XSelectInput(display, window, attributes.your_event_mask | StructureNotifyMask);
  }
  XSync(display, False);
  return gdk_x11_display_error_trap_pop(gdkDisplay) == 0 && exists;
}

void X11Platform::Report(const std::string& why) {
  std::fprintf(stderr, "vellomar: %s\n", why.c_str());
  AppendFileA(ErrorLogFile({}), NowText() + "   " + ValidUtf8(why) + "\r\n");
}

// ---- process, clock and text ----

std::string X11Platform::CommandArgs() { return TranslateSwitches(args_); }

std::string X11Platform::ExeName() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("vellomar") : exe.stem().string();
}

ScreenMetrics X11Platform::Screen() {
  // In the root role, the window drawn into is the screen.
  const GdkRectangle area = FullScreenArea();
  const double twipsPerPixel = 1440.0 / ScreenDpi();
  return ScreenMetrics{area.width, area.height, twipsPerPixel, twipsPerPixel};
}

double X11Platform::SecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

std::string X11Platform::NowText() {
  const std::time_t now = std::time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  char text[128] = {};
  std::strftime(text, sizeof text, "%x %X", &local);
  return text;
}

// The ANSI code page here is UTF-8.
std::string X11Platform::Utf8ToAnsi(std::string_view text) { return ValidUtf8(text); }
std::string X11Platform::AnsiToUtf8(std::string_view text) { return ValidUtf8(text); }

// The install folder of a package is not the user's to write.
std::string X11Platform::ErrorLogFile(const std::string&) {
  const std::string file = x11::ErrorLogFile();
  PrepareErrorLog(file, kErrorLogLimit);
  return file;
}

bool X11Platform::AppendFileA(const std::string& path, std::string_view bytes) {
  // Appending only, so that lines of processes writing at once never overlap; never through a
  // link that another user may have planted.
  const int file = open(LocalPath(path).c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (file < 0) return false;
  const ssize_t written = write(file, bytes.data(), bytes.size());
  const bool closed = close(file) == 0;
  return closed && written == static_cast<ssize_t>(bytes.size());
}

void X11Platform::ShowErrorReport(std::int32_t number, const std::string& description) {
  // Above the full-screen windows, which are outside the window manager's stacking, and with
  // the keyboard and pointer, which the input guard may hold.
  ReleaseInputGuardGrabs();
  GtkWidget* dialog = GTK_WIDGET(g_object_new(GTK_TYPE_MESSAGE_DIALOG, "type", GTK_WINDOW_POPUP,
                                              "message-type", GTK_MESSAGE_ERROR, "buttons",
                                              GTK_BUTTONS_OK, "text",
                                              ("Run-time error " + std::to_string(number) + ":")
                                                  .c_str(),
                                              "secondary-text", description.c_str(), nullptr));
  gtk_window_set_title(GTK_WINDOW(dialog), ExeName().c_str());
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  g_signal_connect(dialog, "map-event", G_CALLBACK(+[](GtkWidget* widget, GdkEvent*, gpointer) {
                     GdkWindow* window = gtk_widget_get_window(widget);
                     gdk_window_raise(window);
                     gdk_seat_grab(gdk_display_get_default_seat(gdk_window_get_display(window)),
                                   window, GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr, nullptr,
                                   nullptr, nullptr);
                     return FALSE;
                   }),
                   nullptr);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

void X11Platform::ExitProcess(std::uint32_t exitCode) { EndNow(static_cast<int>(exitCode)); }

void X11Platform::RunMessageLoop() {
  gtk_main();
  ExitProcess(0);
}

// ---- window manager: the cursor and the system's saver state ----

std::int32_t X11Platform::ShowCursor(std::int32_t show) {
  const std::int32_t before = cursorCount_;
  cursorCount_ += show ? 1 : -1;
  Display* display = XDisplay();
  if (before >= 0 && cursorCount_ < 0) XFixesHideCursor(display, DefaultRootWindow(display));
  if (before < 0 && cursorCount_ >= 0) XFixesShowCursor(display, DefaultRootWindow(display));
  XFlush(display);
  return cursorCount_;
}

// The screen saver's state belongs to whoever started us (XScreenSaver or the user).
std::int32_t X11Platform::SystemParametersInfoA(std::uint32_t, std::uint32_t, std::int32_t*,
                                                  std::uint32_t) {
  return 1;
}

// ---- version: the NT line, so the password rule of the consumer line never applies ----

std::int32_t X11Platform::GetVersionExA(OsVersionInfoA* info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OsVersionInfoA)) return 0;
  utsname system{};
  unsigned major = 0;
  unsigned minor = 0;
  if (uname(&system) == 0) std::sscanf(system.release, "%u.%u", &major, &minor);
  info->dwMajorVersion = major;
  info->dwMinorVersion = minor;
  info->dwBuildNumber = 0;
  info->dwPlatformId = win::kVerPlatformWin32Nt;
  info->szCSDVersion[0] = '\0';
  return 1;
}

// ---- registry: the settings files ----

std::int32_t X11Platform::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  return settings_.RegOpenKeyA(root, subKey, result);
}

std::int32_t X11Platform::RegOpenKeyExA(HKey root, const std::string& subKey,
                                          std::uint32_t options, std::uint32_t samDesired,
                                          HKey* result) {
  return settings_.RegOpenKeyExA(root, subKey, options, samDesired, result);
}

std::int32_t X11Platform::RegQueryValueExA(HKey key, const std::string& valueName,
                                             std::uint32_t* type, std::uint8_t* data,
                                             std::uint32_t* dataSize) {
  return settings_.RegQueryValueExA(key, valueName, type, data, dataSize);
}

std::int32_t X11Platform::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  return settings_.RegCreateKeyA(root, subKey, result);
}

std::int32_t X11Platform::RegSetValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t reserved, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t dataSize) {
  return settings_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

std::int32_t X11Platform::RegCloseKey(HKey key) { return settings_.RegCloseKey(key); }

// ---- no password services: locking is the screen locker's job ----

std::optional<std::int32_t> X11Platform::VerifyScreenSavePwd(Hwnd) { return std::nullopt; }

std::optional<std::uint32_t> X11Platform::PwdChangePasswordA(const std::string&, Hwnd,
                                                               std::uint32_t, std::uint32_t) {
  return std::nullopt;
}

}  // namespace vellomar::x11
