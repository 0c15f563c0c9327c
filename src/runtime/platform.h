// The platform seam: everything the program needs of the operating system. The calls keep the
// names, arguments and results of the platform calls they stand for, so that a form reads step by
// step like its description and a test can check the exact calls. Text arguments are UTF-8 unless
// the call is an ANSI entry point (a name ending in A), which takes and gives ANSI bytes.
// Unless a call says otherwise it never throws; failures show in its result, as on the platform.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/native.h"
#include "runtime/platform_types.h"

namespace vellomar {

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- process, clock and text ----
  // The argument text: what follows the program's file name on the command line.
  virtual std::string CommandArgs() = 0;
  // The program's file name without folder and extension.
  virtual std::string ExeName() = 0;
  virtual ScreenMetrics Screen() = 0;
  // Local time of day in seconds since midnight, with a fraction.
  virtual double SecondsSinceMidnight() = 0;
  // Local date and time as text, to the whole second.
  virtual std::string NowText() = 0;
  // Conversions between UTF-8 and the system's ANSI code page; unmappable characters become '?'.
  virtual std::string Utf8ToAnsi(std::string_view text) = 0;
  virtual std::string AnsiToUtf8(std::string_view text) = 0;
  // Opens the file for appending (creating it when missing), writes the bytes, closes it.
  // False when any of that failed.
  virtual bool AppendFileA(const std::string& path, std::string_view bytes) = 0;
  // The file the error log appends to, given the install folder: on Windows "error.log" in it;
  // elsewhere wherever the user's own logs go.
  virtual std::string ErrorLogFile(const std::string& installFolder) = 0;

  // ---- the runtime's own needs ----
  // Shows the runtime error report; returns when the user has dismissed it.
  virtual void ShowErrorReport(std::int32_t number, const std::string& description) = 0;
  // Ends the process at once. Never returns.
  [[noreturn]] virtual void ExitProcess(std::uint32_t exitCode) = 0;
  // Delivers events until the process ends. A platform that can run out of events (the
  // in-memory one) returns when nothing is left to happen.
  virtual void RunMessageLoop() = 0;

  // ---- native objects for forms (all hidden until shown; all raise RaisedError on failure) ----
  virtual std::unique_ptr<NativeWindow> CreateFormWindow(const FormDesign& design,
                                                         WindowEvents& events) = 0;
  virtual std::unique_ptr<NativeWindow> CreatePictureBox(Hwnd parent, const Placement& placement,
                                                         std::uint32_t backColor) = 0;
  virtual std::unique_ptr<NativeWindow> CreateLabel(Hwnd parent, const Placement& placement,
                                                    const FontDesign& font) = 0;
  virtual std::unique_ptr<NativeWindow> CreateButton(Hwnd parent, const Placement& placement,
                                                     const std::string& caption,
                                                     WindowEvents& events) = 0;
  // Creates the control registered under design.progId in place in the parent window.
  virtual std::unique_ptr<NativeControl> CreateControl(Hwnd parent, const ControlDesign& design,
                                                       ControlEvents& events) = 0;
  virtual std::unique_ptr<NativeTimer> CreateTimer(TimerEvents& events) = 0;

  // ---- window manager (user32) ----
  // className may be null. Captions compare without regard to case. 0 when none is found.
  virtual Hwnd FindWindowA(const char* className, const std::string& windowName) = 0;
  virtual std::int32_t SetWindowPos(Hwnd hwnd, Hwnd insertAfter, std::int32_t x, std::int32_t y,
                                    std::int32_t cx, std::int32_t cy, std::uint32_t flags) = 0;
  // Pointer-sized, as the platform's window longs are; the previous value, or 0 on failure.
  virtual std::intptr_t SetWindowLongA(Hwnd hwnd, std::int32_t index, std::intptr_t newLong) = 0;
  virtual LResult CallWindowProcA(std::intptr_t prevProc, Hwnd hwnd, std::uint32_t msg,
                                  WParam wParam, LParam lParam) = 0;
  // Moves the cursor display count one step and returns the new count.
  virtual std::int32_t ShowCursor(std::int32_t show) = 0;
  virtual std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t param,
                                             std::int32_t* pvParam, std::uint32_t winIni) = 0;
  virtual Hwnd SetParent(Hwnd child, Hwnd newParent) = 0;
  virtual std::int32_t GetClientRect(Hwnd hwnd, Rect* rect) = 0;
  virtual std::int32_t IsWindow(Hwnd hwnd) = 0;

  // ---- version (kernel32) ----
  virtual std::int32_t GetVersionExA(OsVersionInfoA* info) = 0;

  // ---- registry (advapi32): status 0 on success, a platform error code otherwise ----
  virtual std::int32_t RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) = 0;
  virtual std::int32_t RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t options,
                                     std::uint32_t samDesired, HKey* result) = 0;
  // data may be null to ask for the type and size only. A buffer too small gives a non-zero
  // status and the size needed.
  virtual std::int32_t RegQueryValueExA(HKey key, const std::string& valueName,
                                        std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* dataSize) = 0;
  // Creates the key together with any missing parents.
  virtual std::int32_t RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) = 0;
  virtual std::int32_t RegSetValueExA(HKey key, const std::string& valueName,
                                      std::uint32_t reserved, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t dataSize) = 0;
  virtual std::int32_t RegCloseKey(HKey key) = 0;

  // ---- screen-saver password services of the consumer line ----
  // Empty when the platform offers no such service.
  virtual std::optional<std::int32_t> VerifyScreenSavePwd(Hwnd owner) = 0;
  virtual std::optional<std::uint32_t> PwdChangePasswordA(const std::string& provider, Hwnd owner,
                                                          std::uint32_t reserved1,
                                                          std::uint32_t reserved2) = 0;
};

}  // namespace vellomar
