// Native windows for forms and their simple controls, timers and the message loop. Each window
// procedure is a trampoline into the form runtime's events, one line per message.
#include <map>

#include "runtime/program.h"
#include "runtime/raised_error.h"
#include "runtime/win32/win32_activex.h"
#include "runtime/win32/win32_common.h"
#include "runtime/win32/win32_platform.h"

namespace vellomar::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"VellomarForm";
constexpr wchar_t kPictureClass[] = L"VellomarPicture";

// What a borderless maximized form covers, again whenever the display changes.
enum class Cover { Nothing, PrimaryMonitor, EveryMonitor };

// What a form or picture box window keeps beside its handle.
struct WindowData {
  WindowEvents* events = nullptr;
  HBRUSH background = nullptr;
  POINT cursor{};  // the last cursor position reported, so only real moves count
  bool dialogKeys = false;
  bool systemKeysArePresses = false;
  bool holdsForeground = false;
  Cover cover = Cover::Nothing;
};

// Posted to a form that holds the foreground when it has lost it.
constexpr UINT kTakeForeground = WM_APP + 1;

void TakeForeground(HWND hwnd) {
  if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return;
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
}

// Our buttons by window, with their events: a click is delivered only for a button found here
// whose parent is the form that got the notification, never for a window another process names.
std::map<HWND, WindowEvents*>& Buttons() {
  static std::map<HWND, WindowEvents*> buttons;
  return buttons;
}

void ReportClick(HWND form, HWND button) {
  const auto found = Buttons().find(button);
  if (found != Buttons().end() && GetParent(button) == form) found->second->OnClick();
}

WindowData* StateOf(HWND hwnd) {
  return reinterpret_cast<WindowData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Only our own form windows carry our state; a preview pane is another program's window.
bool IsForm(HWND hwnd) {
  DWORD process = 0;
  wchar_t name[32] = {};
  return hwnd && GetWindowThreadProcessId(hwnd, &process) && process == GetCurrentProcessId() &&
         GetClassNameW(hwnd, name, 32) && lstrcmpW(name, kFormClass) == 0;
}

std::int16_t ShiftState() {
  return static_cast<std::int16_t>(((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) |
                                   ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0) |
                                   ((GetKeyState(VK_MENU) < 0) ? 4 : 0));
}

bool EraseBackground(HWND hwnd, HDC dc) {
  WindowData* state = StateOf(hwnd);
  if (!state || !state->background) return false;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, state->background);
  return true;
}

// The virtual screen's origin may be negative; the primary monitor's is always 0,0.
RECT CoveredRect(Cover cover) {
  if (cover == Cover::EveryMonitor) {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  }
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// A new mode or a monitor come or gone: the form covers the new screen, and its hosted controls
// keep their share of it, so the movie still fills the movie window.
void FollowDisplay(HWND hwnd, Cover cover) {
  if (cover == Cover::Nothing) return;
  RECT before;
  GetClientRect(hwnd, &before);
  const RECT r = CoveredRect(cover);
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT after;
  GetClientRect(hwnd, &after);
  ScaleHostedControls(hwnd, SIZE{before.right, before.bottom}, SIZE{after.right, after.bottom});
}

void ReportMouseMove(WindowData& state) {
  POINT now{};
  // Without a position (another desktop has the input) no move can be told from a repeat.
  if (!GetCursorPos(&now)) return;
  if (now.x == state.cursor.x && now.y == state.cursor.y) return;
  state.cursor = now;
  state.events->OnMouseMove();
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowData* state = StateOf(hwnd);
  if (!state) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_SYSKEYDOWN:
      if (!state->systemKeysArePresses) return DefWindowProcW(hwnd, msg, wParam, lParam);
      [[fallthrough]];
    case WM_KEYDOWN:
      state->events->OnKeyDown(static_cast<std::int16_t>(wParam), ShiftState());
      return 0;
    case WM_LBUTTONDOWN: state->events->OnMouseDown(1); return 0;
    case WM_RBUTTONDOWN: state->events->OnMouseDown(2); return 0;
    case WM_MBUTTONDOWN: state->events->OnMouseDown(4); return 0;
    case WM_MOUSEMOVE: ReportMouseMove(*state); return 0;
    case WM_CLOSE: state->events->OnCloseRequest(); return 0;
    case WM_ACTIVATE:
      // Taken back once the activation change is over, not inside it.
      if (LOWORD(wParam) == WA_INACTIVE && state->holdsForeground) {
        PostMessageW(hwnd, kTakeForeground, 0, 0);
      }
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case kTakeForeground: TakeForeground(hwnd); return 0;
    case WM_DISPLAYCHANGE: FollowDisplay(hwnd, state->cover); return 0;
    case WM_ERASEBKGND: return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) ReportClick(hwnd, reinterpret_cast<HWND>(lParam));
      return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND && EraseBackground(hwnd, reinterpret_cast<HDC>(wParam))) return 1;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterClasses() {
  static const bool registered = [] {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormProc;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hIcon = LoadIconW(form.hInstance, MAKEINTRESOURCEW(1));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
    WNDCLASSEXW picture = form;
    picture.lpfnWndProc = PictureProc;
    picture.hIcon = nullptr;
    picture.lpszClassName = kPictureClass;
    RegisterClassExW(&picture);
    return true;
  }();
  (void)registered;
}

class Win32Window final : public NativeWindow {
 public:
  Win32Window(HWND hwnd, std::unique_ptr<WindowData> state, int showCommand)
      : hwnd_(hwnd), state_(std::move(state)), showCommand_(showCommand) {
    if (state_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
  }
  ~Win32Window() override {
    Buttons().erase(hwnd_);
    if (::IsWindow(hwnd_)) {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
    if (state_ && state_->background) DeleteObject(state_->background);
    if (font_) DeleteObject(font_);
  }
  Hwnd Handle() const override { return FromHwnd(hwnd_); }
  void Show() override {
    ShowWindow(hwnd_, showCommand_);
    UpdateWindow(hwnd_);
    if (state_ && state_->holdsForeground) TakeForeground(hwnd_);
    if (HWND button = FindWindowExW(hwnd_, nullptr, L"BUTTON", nullptr)) SetFocus(button);
  }
  void SetText(const std::string& text) override { SetWindowTextW(hwnd_, Widen(text).c_str()); }
  void Move(const Placement& placement) override {
    const RECT r = PixelRect(placement);
    MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
  void UseFont(HFONT font) {
    font_ = font;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }

 private:
  HWND hwnd_;
  std::unique_ptr<WindowData> state_;
  int showCommand_;
  HFONT font_ = nullptr;
};

std::unique_ptr<WindowData> StateFor(WindowEvents* events, std::uint32_t backColor,
                                      bool withBackground) {
  auto state = std::make_unique<WindowData>();
  state->events = events;
  if (withBackground) state->background = CreateSolidBrush(backColor);
  GetCursorPos(&state->cursor);
  return state;
}

HWND ChildWindow(const wchar_t* windowClass, const std::wstring& text, DWORD style, Hwnd parent,
                 const Placement& placement) {
  const RECT r = PixelRect(placement);
  HWND hwnd = CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, ToHwnd(parent), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) throw RaisedError(kErrInternal, "Cannot create a window");
  return hwnd;
}

std::map<UINT_PTR, TimerEvents*>& Timers() {
  static std::map<UINT_PTR, TimerEvents*> timers;
  return timers;
}

void CALLBACK TimerTick(HWND, UINT, UINT_PTR id, DWORD) {
  if (auto timer = Timers().find(id); timer != Timers().end()) timer->second->OnTick();
}

class Win32Timer final : public NativeTimer {
 public:
  explicit Win32Timer(TimerEvents& events) : events_(events) {}
  ~Win32Timer() override { Stop(); }
  void Start(std::uint32_t intervalMs) override {
    Stop();
    id_ = SetTimer(nullptr, 0, intervalMs, TimerTick);
    if (id_ == 0) throw RaisedError(kErrInternal, "Cannot create a timer");
    Timers()[id_] = &events_;
  }
  void Stop() override {
    if (id_ == 0) return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }

 private:
  TimerEvents& events_;
  UINT_PTR id_ = 0;
};

}  // namespace

std::unique_ptr<NativeWindow> Win32Platform::CreateFormWindow(const FormDesign& design,
                                                              WindowEvents& events) {
  RegisterClasses();
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = design.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  switch (design.border) {
    case BorderStyle::None: style |= WS_POPUP; break;
    case BorderStyle::FixedSingle: style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU; break;
    case BorderStyle::Sizable: style |= WS_OVERLAPPEDWINDOW; break;
  }
  if (design.border != BorderStyle::None) {
    if (design.minButton) style |= WS_MINIMIZEBOX;
    if (design.maxButton) style |= WS_MAXIMIZEBOX;
  }
  RECT frame{0, 0, TwipsToPixelsX(design.clientWidth), TwipsToPixelsY(design.clientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  const bool fullScreen =
      design.state == WindowState::Maximized && design.border == BorderStyle::None;
  // A borderless maximized window covers the whole primary screen, or every monitor.
  const Cover cover = !fullScreen                  ? Cover::Nothing
                      : design.coversEveryMonitor ? Cover::EveryMonitor
                                                  : Cover::PrimaryMonitor;
  if (fullScreen) {
    const RECT r = CoveredRect(cover);
    x = r.left;
    y = r.top;
    width = r.right - r.left;
    height = r.bottom - r.top;
  } else if (design.centred) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  HWND hwnd = CreateWindowExW(exStyle, kFormClass, Widen(design.caption).c_str(), style, x, y,
                              width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) throw RaisedError(kErrInternal, "Cannot create a window");
  const int show = design.state == WindowState::Maximized && !fullScreen ? SW_SHOWMAXIMIZED
                                                                         : SW_SHOW;
  auto state = StateFor(&events, design.backColor, true);
  state->systemKeysArePresses = design.systemKeysArePresses;
  state->holdsForeground = design.holdsForeground;
  state->cover = cover;
  return std::make_unique<Win32Window>(hwnd, std::move(state), show);
}

std::unique_ptr<NativeWindow> Win32Platform::CreatePictureBox(Hwnd parent,
                                                              const Placement& placement,
                                                              std::uint32_t backColor) {
  RegisterClasses();
  HWND hwnd = ChildWindow(kPictureClass, L"", WS_CLIPCHILDREN, parent, placement);
  return std::make_unique<Win32Window>(hwnd, StateFor(nullptr, backColor, true), SW_SHOW);
}

std::unique_ptr<NativeWindow> Win32Platform::CreateLabel(Hwnd parent, const Placement& placement,
                                                         const FontDesign& font) {
  HWND hwnd = ChildWindow(L"STATIC", L"", SS_LEFT, parent, placement);
  auto label = std::make_unique<Win32Window>(hwnd, nullptr, SW_SHOW);
  const int height = -static_cast<int>(font.points * ScreenDpi(LOGPIXELSY) / 72.0 + 0.5);
  label->UseFont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, Widen(font.name).c_str()));
  return label;
}

std::unique_ptr<NativeWindow> Win32Platform::CreateButton(Hwnd parent, const Placement& placement,
                                                          const std::string& caption,
                                                          WindowEvents& events) {
  HWND hwnd = ChildWindow(L"BUTTON", Widen(caption), BS_DEFPUSHBUTTON | WS_TABSTOP, parent,
                          placement);
  if (WindowData* form = StateOf(ToHwnd(parent))) form->dialogKeys = true;
  auto button = std::make_unique<Win32Window>(hwnd, nullptr, SW_SHOW);
  Buttons()[hwnd] = &events;
  button->UseFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  return button;
}

std::unique_ptr<NativeTimer> Win32Platform::CreateTimer(TimerEvents& events) {
  return std::make_unique<Win32Timer>(events);
}

void Win32Platform::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    // A failed wait leaves msg undefined: the program cannot go on taking events.
    if (got == -1) ExitProcess(kRuntimeErrorExitCode);
    // Forms with a button take Enter and Tab as a dialog does.
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    WindowData* state = IsForm(root) ? StateOf(root) : nullptr;
    if (state && state->dialogKeys && IsDialogMessageW(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ExitProcess(static_cast<std::uint32_t>(msg.wParam));
}

}  // namespace vellomar::win32
