// The Linux platform: GTK 3 windows, Xlib where GTK hides what is needed, the movie in a web
// view, the registry in key files. What each seam call does here:
//
//   CommandArgs            translated: XScreenSaver switches as Windows switches (x11_switches)
//   ExeName, Screen, clock real; Screen is the root role's window there
//   Utf8ToAnsi/AnsiToUtf8  the ANSI code page is UTF-8: invalid bytes become '?'
//   AppendFileA            real, with Windows paths translated; never through a link
//   ErrorLogFile           the user's $XDG_STATE_HOME/vellomar/error.log, kept bounded
//   ShowErrorReport        a GTK message dialog that takes the keyboard from the guard
//   Create* (forms)        GTK windows placed in twips (x11_forms); full-screen forms follow the
//                          screen (x11_screen_changes) and stay above others (x11_window_table)
//   CreateControl          the movie in a web view (x11_movie_view), the purchase page in the
//                          user's browser (x11_controls)
//   FindWindowA, SetWindowPos, SetWindowLongA, CallWindowProcA, SetParent, GetClientRect,
//   IsWindow               translated onto X windows (x11_window_manager); WS_EX_TRANSPARENT,
//                          the one extended style, makes the form the input guard (x11_input_guard)
//   ShowCursor             real, through XFixes
//   SystemParametersInfoA  deliberately nothing: the saver state is the daemon's
//   GetVersionExA          the NT line, with the kernel's version
//   Reg* (six calls)       the key files (x11_settings_store) over first-run defaults
//   VerifyScreenSavePwd,
//   PwdChangePasswordA     deliberately absent: locking is the screen locker's job
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/x11/x11_settings_store.h"
#include "runtime/platform.h"

namespace vellomar::x11 {

class X11Platform final : public Platform {
 public:
  // args: the command line after the program's name, once GTK has taken its own options.
  explicit X11Platform(std::vector<std::string> args);

  // The full-screen role on its own, which must hold the keyboard before it covers the screen.
  bool CoversTheScreenAlone() const;
  // Takes the keyboard (and the pointer when it can) for the full-screen role's guard to take
  // over; false when another client keeps the keyboard for about a second.
  bool TakeInputBeforeCovering();
  // For the root role: ends the program when the window it draws into is destroyed. False when
  // that window does not exist.
  bool WatchTheRootRoleWindow();

  // A failure the platform survives on its own: said on standard error and appended to the error
  // log as the log lays out its lines.
  void Report(const std::string& why);

  std::string CommandArgs() override;
  std::string ExeName() override;
  ScreenMetrics Screen() override;
  double SecondsSinceMidnight() override;
  std::string NowText() override;
  std::string Utf8ToAnsi(std::string_view text) override;
  std::string AnsiToUtf8(std::string_view text) override;
  bool AppendFileA(const std::string& path, std::string_view bytes) override;
  std::string ErrorLogFile(const std::string& installFolder) override;
  void ShowErrorReport(std::int32_t number, const std::string& description) override;
  [[noreturn]] void ExitProcess(std::uint32_t exitCode) override;
  void RunMessageLoop() override;
  std::unique_ptr<NativeWindow> CreateFormWindow(const FormDesign& design,
                                                 WindowEvents& events) override;
  std::unique_ptr<NativeWindow> CreatePictureBox(Hwnd parent, const Placement& placement,
                                                 std::uint32_t backColor) override;
  std::unique_ptr<NativeWindow> CreateLabel(Hwnd parent, const Placement& placement,
                                            const FontDesign& font) override;
  std::unique_ptr<NativeWindow> CreateButton(Hwnd parent, const Placement& placement,
                                             const std::string& caption,
                                             WindowEvents& events) override;
  std::unique_ptr<NativeControl> CreateControl(Hwnd parent, const ControlDesign& design,
                                               ControlEvents& events) override;
  std::unique_ptr<NativeTimer> CreateTimer(TimerEvents& events) override;
  Hwnd FindWindowA(const char* className, const std::string& windowName) override;
  std::int32_t SetWindowPos(Hwnd hwnd, Hwnd insertAfter, std::int32_t x, std::int32_t y,
                            std::int32_t cx, std::int32_t cy, std::uint32_t flags) override;
  std::intptr_t SetWindowLongA(Hwnd hwnd, std::int32_t index, std::intptr_t newLong) override;
  LResult CallWindowProcA(std::intptr_t prevProc, Hwnd hwnd, std::uint32_t msg, WParam wParam,
                          LParam lParam) override;
  std::int32_t ShowCursor(std::int32_t show) override;
  std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t param,
                                     std::int32_t* pvParam, std::uint32_t winIni) override;
  Hwnd SetParent(Hwnd child, Hwnd newParent) override;
  std::int32_t GetClientRect(Hwnd hwnd, Rect* rect) override;
  std::int32_t IsWindow(Hwnd hwnd) override;
  std::int32_t GetVersionExA(OsVersionInfoA* info) override;
  std::int32_t RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) override;
  std::int32_t RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t samDesired, HKey* result) override;
  std::int32_t RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize) override;
  std::int32_t RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) override;
  std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t reserved,
                              std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t dataSize) override;
  std::int32_t RegCloseKey(HKey key) override;
  std::optional<std::int32_t> VerifyScreenSavePwd(Hwnd owner) override;
  std::optional<std::uint32_t> PwdChangePasswordA(const std::string& provider, Hwnd owner,
                                                  std::uint32_t reserved1,
                                                  std::uint32_t reserved2) override;

 private:
  std::vector<std::string> args_;
  SettingsStore settings_;
  std::int32_t cursorCount_ = 0;
};

}  // namespace vellomar::x11
