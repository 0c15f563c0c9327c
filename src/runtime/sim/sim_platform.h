// The in-memory platform: a registry of typed byte strings, windows with captions, parents,
// client rectangles, window procedures, extended styles and z-order, the cursor display count,
// a virtual clock that drives timers and scripted actions, scripted password answers, a small
// file system, and recording controls. Every seam call is also written to calls(), so a test
// can check the exact sequence.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "runtime/program.h"
#include "runtime/sim/sim_registry.h"
#include "runtime/sim/sim_windows.h"

namespace vellomar::sim {

// A hosted control that records what it is told.
struct SimControl {
  std::string progId;
  Hwnd handle = 0;
  Hwnd host = 0;
  ControlDesign design;
  Placement placement;
  // "Move l,t,w,h", "Put <dispid> <value>", "Invoke <dispid> <arg> <arg>..." in order.
  std::vector<std::string> calls;
  // The call (0-based, counting Move, Put and Invoke) that raises instead; -1 for none.
  int failAtCall = -1;
  ControlEvents* events = nullptr;
  bool destroyed = false;
};

struct PasswordAnswer {
  std::int32_t result = 1;     // what VerifyScreenSavePwd returns
  double dialogSeconds = 0.0;  // how long the dialog stays open (its nested loop runs timers)
};

struct ErrorReport {
  std::int32_t number = 0;
  std::string description;
  // What the user had while the report was up.
  std::int32_t cursorCount = 0;
  bool screenSaverRunning = false;
};

struct RunResult {
  bool exited = false;         // false: still running when the loop ran out of time or work
  std::uint32_t exitCode = 0;  // valid when exited
};

class SimPlatform final : public Platform {
 public:
  SimPlatform();
  ~SimPlatform() override;

  // ---- set-up by tests ----
  std::string commandArgs;
  std::string exeName = "vellomar";
  ScreenMetrics screen{1024, 768, 15.0, 15.0};
  // Every monitor together, in pixels; unset, the primary screen alone.
  std::optional<Rect> virtualScreen;
  std::uint32_t platformId = 2;
  bool versionCallFails = false;
  bool hasPasswordServices = true;
  std::deque<PasswordAnswer> passwordAnswers;  // an empty queue accepts at once
  std::set<std::string> unavailableProgIds;   // CreateControl raises for these
  // For the next control created with this ProgID: the call that raises.
  std::map<std::string, int> controlFailAtCall;
  std::set<std::string> folders{"C:\\Saver"};  // folders that exist, for the log file
  bool appendsFail = false;
  // Local date and time at the start of the run.
  void SetClock(int year, unsigned month, unsigned day, double secondsSinceMidnight);
  // Runs an action when the virtual clock reaches start + seconds.
  void At(double secondsFromStart, std::function<void()> action);

  // ---- scripted input, for actions ----
  void KeyDown(Hwnd hwnd, std::int16_t keyCode);
  // A key pressed with Alt held (Alt alone too): a key press only for a form whose design says
  // so; otherwise the system's handling, where Alt+F4 asks the window to close.
  void SysKeyDown(Hwnd hwnd, std::int16_t keyCode);
  void MouseDown(Hwnd hwnd);
  void MouseMove(Hwnd hwnd);
  // Sends a message through the window's current procedure.
  LResult SendMessageA(Hwnd hwnd, std::uint32_t msg, WParam wParam = 0, LParam lParam = 0);
  // The user clicks a form's close box.
  void ClickCloseBox(Hwnd hwnd);
  void ClickButton(Hwnd hwnd);
  void FireControlEvent(SimControl& control, std::int32_t dispId,
                        const std::vector<std::string>& args);
  // A window of another program (a preview pane) with a client area in pixels.
  Hwnd CreateForeignWindow(const std::string& caption, std::int32_t width, std::int32_t height);
  void DestroyWindow(Hwnd hwnd);

  // ---- running a program ----
  // Runs entry in a fresh program until it exits, or until the virtual clock passes
  // start + maxSeconds, or until nothing is left to happen.
  RunResult Run(const std::function<void(Program&)>& entry, double maxSeconds = 600.0);
  double ElapsedSeconds() const;

  // ---- what happened ----
  SimRegistry& registry() { return registry_; }
  SimWindows& windows() { return windows_; }
  const std::vector<std::string>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  std::int32_t cursorCount = 0;
  bool screenSaverRunning = false;
  // Messages that reached a window's original procedure, and what that procedure returns.
  std::vector<std::pair<Hwnd, std::uint32_t>> defaultProcMessages;
  LResult defaultProcResult = 0;
  std::vector<ErrorReport> errorReports;
  std::vector<Hwnd> passwordDialogOwners;
  std::vector<std::pair<std::string, Hwnd>> passwordChanges;
  std::map<std::string, std::string> files;  // path -> bytes
  std::vector<std::unique_ptr<SimControl>> controls;
  // The newest control created with this ProgID, or null.
  SimControl* LastControl(const std::string& progId);

  // ---- Platform ----
  std::string CommandArgs() override { return commandArgs; }
  std::string ExeName() override { return exeName; }
  ScreenMetrics Screen() override { return screen; }
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

  // The sim in use, for window procedures, which the platform calls without context.
  static SimPlatform& Active();

  // Used by the sim's native objects.
  void Record(std::string call) { calls_.push_back(std::move(call)); }
  std::int32_t TwipsToPixelsX(std::int32_t twips) const;
  std::int32_t TwipsToPixelsY(std::int32_t twips) const;
  Rect PixelsOf(const Placement& placement) const;
  struct TimerSlot {
    TimerEvents* events = nullptr;
    bool running = false;
    std::int64_t intervalMs = 0;
    std::int64_t dueMs = 0;
  };
  int AddTimer(TimerEvents& events);
  void StartTimer(int id, std::uint32_t intervalMs);
  void StopTimer(int id);
  void RemoveTimer(int id);

 private:
  // Runs timers and actions due up to untilMs (or the run's limit); false when nothing is left.
  bool RunUntil(std::int64_t untilMs);
  bool Step(std::int64_t limitMs);
  SimPlatform* previous_ = nullptr;

  SimRegistry registry_;
  SimWindows windows_;
  std::vector<std::string> calls_;
  std::int64_t startDays_ = 0;  // days since 1970-01-01 of the start date
  double startSeconds_ = 0.0;
  std::int64_t nowMs_ = 0;      // virtual milliseconds since the start
  std::int64_t limitMs_ = 0;
  std::map<int, TimerSlot> timers_;
  int nextTimerId_ = 1;
  struct Action {
    std::int64_t dueMs;
    std::uint64_t order;
    std::function<void()> run;
  };
  std::vector<Action> actions_;
  std::uint64_t nextActionOrder_ = 0;
};

}  // namespace vellomar::sim
