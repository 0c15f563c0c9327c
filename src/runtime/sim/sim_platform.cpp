#include "runtime/sim/sim_platform.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "runtime/platform_constants.h"

namespace vellomar::sim {

namespace {

SimPlatform* active = nullptr;

// Thrown through the program to the sim's Run when the process ends.
struct ProcessExit {
  std::uint32_t code;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : ",") + part;
  return joined;
}

template <class... T>
std::string Call(const char* name, const T&... args) {
  auto text = [](const auto& arg) -> std::string {
    if constexpr (std::is_convertible_v<decltype(arg), std::string>) {
      return std::string(arg);
    } else {
      return std::to_string(arg);
    }
  };
  return std::string(name) + "(" + Join({text(args)...}) + ")";
}

}  // namespace

// The original procedure of every sim window: WM_CLOSE asks a form to close and destroys any
// other window, as the platform's default handling does.
LResult VELLOMAR_CALLBACK SimDefaultWndProc(Hwnd hwnd, std::uint32_t msg, WParam, LParam) {
  SimPlatform& sim = SimPlatform::Active();
  SimWindow* window = sim.windows().Get(hwnd);
  if (!window) return 0;
  sim.defaultProcMessages.emplace_back(hwnd, msg);
  if (msg == win::kWmClose) {
    if (window->kind == "form") {
      window->events->OnCloseRequest();
    } else {
      sim.windows().Destroy(hwnd);
    }
    return 0;
  }
  return sim.defaultProcResult;
}

SimPlatform::SimPlatform() : previous_(active) { active = this; }

SimPlatform::~SimPlatform() { active = previous_; }

SimPlatform& SimPlatform::Active() { return *active; }

// ---- clock and loop ----

void SimPlatform::SetClock(int year, unsigned month, unsigned day, double secondsSinceMidnight) {
  using namespace std::chrono;
  startDays_ = sys_days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}}
                   .time_since_epoch()
                   .count();
  startSeconds_ = secondsSinceMidnight - static_cast<double>(nowMs_) / 1000.0;
}

void SimPlatform::At(double secondsFromStart, std::function<void()> action) {
  actions_.push_back(
      Action{std::llround(secondsFromStart * 1000.0), nextActionOrder_++, std::move(action)});
}

double SimPlatform::ElapsedSeconds() const { return static_cast<double>(nowMs_) / 1000.0; }

double SimPlatform::SecondsSinceMidnight() {
  return std::fmod(startSeconds_ + ElapsedSeconds(), 86400.0);
}

std::string SimPlatform::NowText() {
  using namespace std::chrono;
  const double total = startSeconds_ + ElapsedSeconds();
  const auto days = startDays_ + static_cast<std::int64_t>(std::floor(total / 86400.0));
  const auto seconds = static_cast<int>(std::floor(std::fmod(total, 86400.0)));
  const year_month_day date{sys_days{std::chrono::days{days}}};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

int SimPlatform::AddTimer(TimerEvents& events) {
  timers_[nextTimerId_] = TimerSlot{&events, false, 0, 0};
  return nextTimerId_++;
}

void SimPlatform::StartTimer(int id, std::uint32_t intervalMs) {
  TimerSlot& slot = timers_.at(id);
  slot.running = true;
  slot.intervalMs = intervalMs;
  slot.dueMs = nowMs_ + intervalMs;
}

void SimPlatform::StopTimer(int id) { timers_.at(id).running = false; }

void SimPlatform::RemoveTimer(int id) { timers_.erase(id); }

bool SimPlatform::Step(std::int64_t limitMs) {
  auto action = std::min_element(actions_.begin(), actions_.end(), [](auto& a, auto& b) {
    return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
  });
  int timerId = 0;
  for (auto& [id, slot] : timers_) {
    if (slot.running && (timerId == 0 || slot.dueMs < timers_.at(timerId).dueMs)) timerId = id;
  }
  const std::int64_t actionDue = action == actions_.end() ? INT64_MAX : action->dueMs;
  const std::int64_t timerDue = timerId == 0 ? INT64_MAX : timers_.at(timerId).dueMs;
  // Scripted actions come before a timer due at the same moment.
  const std::int64_t due = std::min(actionDue, timerDue);
  if (due == INT64_MAX || due > limitMs) return false;
  nowMs_ = std::max(nowMs_, due);
  if (actionDue <= timerDue) {
    const std::function<void()> run = std::move(action->run);
    actions_.erase(action);
    run();
  } else {
    TimerSlot& slot = timers_.at(timerId);
    slot.dueMs += std::max<std::int64_t>(slot.intervalMs, 1);
    slot.events->OnTick();
  }
  return true;
}

bool SimPlatform::RunUntil(std::int64_t untilMs) {
  const std::int64_t limit = std::min(untilMs, limitMs_);
  while (Step(limit)) {
  }
  nowMs_ = std::max(nowMs_, limit);
  return nowMs_ < limitMs_;
}

void SimPlatform::RunMessageLoop() {
  while (Step(limitMs_)) {
  }
}

RunResult SimPlatform::Run(const std::function<void(Program&)>& entry, double maxSeconds) {
  limitMs_ = nowMs_ + std::llround(maxSeconds * 1000.0);
  try {
    Program program(*this);
    program.Run(entry);
  } catch (const ProcessExit& exit) {
    return RunResult{true, exit.code};
  }
  return RunResult{false, 0};
}

void SimPlatform::ExitProcess(std::uint32_t exitCode) { throw ProcessExit{exitCode}; }

void SimPlatform::ShowErrorReport(std::int32_t number, const std::string& description) {
  errorReports.push_back(ErrorReport{number, description, cursorCount, screenSaverRunning});
}

std::string SimPlatform::ErrorLogFile(const std::string& installFolder) {
  return installFolder + "\\error.log";
}

bool SimPlatform::AppendFileA(const std::string& path, std::string_view bytes) {
  Record(Call("AppendFileA", path));
  if (appendsFail) return false;
  const auto slash = path.rfind('\\');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
  // An empty folder is the root of the current drive, which always exists.
  if (!folder.empty() && folders.count(folder) == 0) return false;
  files[path] += bytes;
  return true;
}

// ---- scripted input ----

void SimPlatform::KeyDown(Hwnd hwnd, std::int16_t keyCode) {
  if (SimWindow* window = windows_.Get(hwnd); window && window->events) {
    window->events->OnKeyDown(keyCode, 0);
  }
}

void SimPlatform::SysKeyDown(Hwnd hwnd, std::int16_t keyCode) {
  SimWindow* window = windows_.Get(hwnd);
  if (!window || window->kind != "form") return;
  if (window->design.systemKeysArePresses) {
    window->events->OnKeyDown(keyCode, win::kShiftAlt);
  } else if (keyCode == win::kKeyF4) {
    SendMessageA(hwnd, win::kWmClose);
  }
}

void SimPlatform::MouseDown(Hwnd hwnd) {
  if (SimWindow* window = windows_.Get(hwnd); window && window->events) {
    window->events->OnMouseDown(1);
  }
}

void SimPlatform::MouseMove(Hwnd hwnd) {
  if (SimWindow* window = windows_.Get(hwnd); window && window->events) {
    window->events->OnMouseMove();
  }
}

LResult SimPlatform::SendMessageA(Hwnd hwnd, std::uint32_t msg, WParam wParam, LParam lParam) {
  const SimWindow* window = windows_.Get(hwnd);
  if (!window || window->wndProc == 0) return 0;
  return reinterpret_cast<WndProc>(window->wndProc)(hwnd, msg, wParam, lParam);
}

void SimPlatform::ClickCloseBox(Hwnd hwnd) { SendMessageA(hwnd, win::kWmClose); }

void SimPlatform::ClickButton(Hwnd hwnd) {
  if (SimWindow* window = windows_.Get(hwnd); window && window->kind == "button") {
    window->events->OnClick();
  }
}

void SimPlatform::FireControlEvent(SimControl& control, std::int32_t dispId,
                                   const std::vector<std::string>& args) {
  if (!control.destroyed && control.events) control.events->OnControlEvent(dispId, args);
}

Hwnd SimPlatform::CreateForeignWindow(const std::string& caption, std::int32_t width,
                                      std::int32_t height) {
  SimWindow window;
  window.kind = "foreign";
  window.text = caption;
  window.visible = true;
  window.bounds = Rect{0, 0, width, height};
  window.wndProc = reinterpret_cast<std::intptr_t>(&SimDefaultWndProc);
  return windows_.Add(window);
}

void SimPlatform::DestroyWindow(Hwnd hwnd) { windows_.Destroy(hwnd); }

SimControl* SimPlatform::LastControl(const std::string& progId) {
  for (auto control = controls.rbegin(); control != controls.rend(); ++control) {
    if ((*control)->progId == progId) return control->get();
  }
  return nullptr;
}

// ---- user32 ----

Hwnd SimPlatform::FindWindowA(const char* className, const std::string& windowName) {
  Record(Call("FindWindowA", className ? className : "null", windowName));
  for (Hwnd hwnd : windows_.ZOrder()) {
    if (Lower(Utf8ToAnsi(windows_.Get(hwnd)->text)) == Lower(windowName)) return hwnd;
  }
  return 0;
}

std::int32_t SimPlatform::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, std::int32_t x,
                                       std::int32_t y, std::int32_t cx, std::int32_t cy,
                                       std::uint32_t flags) {
  Record(Call("SetWindowPos", hwnd, insertAfter, x, y, cx, cy, flags));
  if (!windows_.Get(hwnd)) return 0;
  if (insertAfter == win::kHwndTopmost) windows_.SetTopmost(hwnd, true);
  if (insertAfter == win::kHwndNoTopmost) windows_.SetTopmost(hwnd, false);
  return 1;
}

std::intptr_t SimPlatform::SetWindowLongA(Hwnd hwnd, std::int32_t index, std::intptr_t newLong) {
  Record(Call("SetWindowLongA", hwnd, index, index == win::kGwlWndProc ? 0 : newLong));
  SimWindow* window = windows_.Get(hwnd);
  if (!window) return 0;
  std::intptr_t* slot = index == win::kGwlWndProc   ? &window->wndProc
                        : index == win::kGwlExStyle ? &window->exStyle
                                                    : nullptr;
  if (!slot) return 0;
  return std::exchange(*slot, newLong);
}

LResult SimPlatform::CallWindowProcA(std::intptr_t prevProc, Hwnd hwnd, std::uint32_t msg,
                                     WParam wParam, LParam lParam) {
  Record(Call("CallWindowProcA", hwnd, msg));
  if (prevProc == 0) return 0;
  return reinterpret_cast<WndProc>(prevProc)(hwnd, msg, wParam, lParam);
}

std::int32_t SimPlatform::ShowCursor(std::int32_t show) {
  Record(Call("ShowCursor", show));
  cursorCount += show ? 1 : -1;
  return cursorCount;
}

std::int32_t SimPlatform::SystemParametersInfoA(std::uint32_t action, std::uint32_t param,
                                                std::int32_t* pvParam, std::uint32_t winIni) {
  Record(Call("SystemParametersInfoA", action, param, winIni));
  if (action != win::kSpiSetScreenSaverRunning) return 0;
  if (pvParam) *pvParam = screenSaverRunning ? 1 : 0;
  screenSaverRunning = param != 0;
  return 1;
}

Hwnd SimPlatform::SetParent(Hwnd child, Hwnd newParent) {
  Record(Call("SetParent", child, newParent));
  SimWindow* window = windows_.Get(child);
  if (!window || (newParent != 0 && !windows_.Get(newParent))) return 0;
  // As on the platform, a window cannot become its own parent or the child of a descendant.
  for (Hwnd above = newParent; above != 0;) {
    if (above == child) return 0;
    const SimWindow* ancestor = windows_.Get(above);
    above = ancestor ? ancestor->parent : 0;
  }
  const Hwnd previous = window->parent;
  windows_.Reparent(child, newParent);
  return previous;
}

std::int32_t SimPlatform::GetClientRect(Hwnd hwnd, Rect* rect) {
  Record(Call("GetClientRect", hwnd));
  const SimWindow* window = windows_.Get(hwnd);
  if (!window) return 0;
  *rect = Rect{0, 0, window->bounds.right - window->bounds.left,
               window->bounds.bottom - window->bounds.top};
  return 1;
}

std::int32_t SimPlatform::IsWindow(Hwnd hwnd) {
  Record(Call("IsWindow", hwnd));
  return windows_.Get(hwnd) ? 1 : 0;
}

// ---- kernel32 ----

std::int32_t SimPlatform::GetVersionExA(OsVersionInfoA* info) {
  Record(Call("GetVersionExA", info->dwOSVersionInfoSize));
  if (versionCallFails || info->dwOSVersionInfoSize != sizeof(OsVersionInfoA)) return 0;
  const bool nt = platformId == win::kVerPlatformWin32Nt;
  info->dwMajorVersion = nt ? 5 : 4;
  info->dwMinorVersion = nt ? 1 : 10;
  info->dwBuildNumber = nt ? 2600 : 2222;
  info->dwPlatformId = platformId;
  return 1;
}

// ---- advapi32 ----

std::int32_t SimPlatform::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  Record(Call("RegOpenKeyA", root, subKey));
  return registry_.RegOpenKeyA(root, subKey, result);
}

std::int32_t SimPlatform::RegOpenKeyExA(HKey root, const std::string& subKey,
                                        std::uint32_t options, std::uint32_t samDesired,
                                        HKey* result) {
  Record(Call("RegOpenKeyExA", root, subKey, options, samDesired));
  return registry_.RegOpenKeyExA(root, subKey, options, samDesired, result);
}

std::int32_t SimPlatform::RegQueryValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t* type, std::uint8_t* data,
                                           std::uint32_t* dataSize) {
  Record(Call("RegQueryValueExA", key, valueName, dataSize ? *dataSize : 0u));
  return registry_.RegQueryValueExA(key, valueName, type, data, dataSize);
}

std::int32_t SimPlatform::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  Record(Call("RegCreateKeyA", root, subKey));
  return registry_.RegCreateKeyA(root, subKey, result);
}

std::int32_t SimPlatform::RegSetValueExA(HKey key, const std::string& valueName,
                                         std::uint32_t reserved, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t dataSize) {
  Record(Call("RegSetValueExA", key, valueName, reserved, type, dataSize));
  return registry_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

std::int32_t SimPlatform::RegCloseKey(HKey key) {
  Record(Call("RegCloseKey", key));
  return registry_.RegCloseKey(key);
}

// ---- password services ----

std::optional<std::int32_t> SimPlatform::VerifyScreenSavePwd(Hwnd owner) {
  Record(Call("VerifyScreenSavePwd", owner));
  if (!hasPasswordServices) return std::nullopt;
  passwordDialogOwners.push_back(owner);
  PasswordAnswer answer;
  if (!passwordAnswers.empty()) {
    answer = passwordAnswers.front();
    passwordAnswers.pop_front();
  }
  // The dialog is modal: its loop goes on delivering timers and scripted actions.
  RunUntil(nowMs_ + std::llround(answer.dialogSeconds * 1000.0));
  return answer.result;
}

std::optional<std::uint32_t> SimPlatform::PwdChangePasswordA(const std::string& provider,
                                                             Hwnd owner, std::uint32_t reserved1,
                                                             std::uint32_t reserved2) {
  Record(Call("PwdChangePasswordA", provider, owner, reserved1, reserved2));
  if (!hasPasswordServices) return std::nullopt;
  passwordChanges.emplace_back(provider, owner);
  return 0u;
}

}  // namespace vellomar::sim
