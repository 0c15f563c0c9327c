// Input that reaches the program's forms from outside: system keys typed on the keyboard (only the
// input guard takes them as key presses; other forms leave them to the system, so Alt+F4 closes
// them), and command notifications that name a window of another process.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr wchar_t kNoticeCaption[] = L"Screensaver Setup";
constexpr wchar_t kEnglishCaption[] = L"Screensaver Configurations";

// A plain top-level window of this process.
class OwnWindow {
 public:
  OwnWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"e2e", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~OwnWindow() { DestroyWindow(window_); }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

bool Foreground(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, kTimeoutMs);
}

// The window that has the keyboard focus in the thread of this one.
HWND FocusOfThreadOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// Brings the form to the foreground and waits until the keys go to the form itself.
void ActivateWithFocusOnItself(HWND form) {
  ASSERT_TRUE(Foreground(form)) << "the foreground is " << Narrow(ClassOf(GetForegroundWindow()));
  ASSERT_TRUE(WaitUntil([&] { return FocusOfThreadOf(form) == form; }, kTimeoutMs))
      << "the focus is on " << Narrow(ClassOf(FocusOfThreadOf(form)));
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void TypeAltF4() {
  INPUT keys[] = {Key(VK_MENU, false), Key(VK_F4, false), Key(VK_F4, true), Key(VK_MENU, true)};
  ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
}

class FormInput : public ::testing::Test {
 protected:
  void SetUp() override { WriteUsualSettings(folder_); }
  void TearDown() override { RemoveFolder(folder_); }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"forminput");
  Standin standin_{folder_};
};

TEST_F(FormInput, AltF4ClosesTheSettingsDialogAndTheNotice) {
  {
    Process dialog(L"/c", standin_.Env());
    HWND form = WaitForWindow(dialog.id(), kFormClass, std::wstring(kEnglishCaption), kTimeoutMs);
    ASSERT_NE(form, nullptr);
    ActivateWithFocusOnItself(form);
    if (HasFatalFailure()) return;
    TypeAltF4();
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs)) << "Alt+F4 left the settings dialog open";
    EXPECT_EQ(dialog.ExitCode(), 0u);
  }
  // The notice gives its focus to its button, and outside input cannot move it reliably.
  Process notice(L"/f", standin_.Env());
  HWND form = WaitForWindow(notice.id(), kFormClass, std::wstring(kNoticeCaption), kTimeoutMs);
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(Foreground(form));
  TypeAltF4();
  ASSERT_TRUE(notice.WaitForExit(kTimeoutMs)) << "Alt+F4 left the notice open";
  EXPECT_EQ(notice.ExitCode(), 0u);
}

TEST_F(FormInput, AltAloneEndsTheFullScreenSaver) {
  Process saver(L"/s", standin_.Env());
  HWND guard = WaitForGuard(saver);
  ASSERT_NE(guard, nullptr);
  ASSERT_TRUE(Foreground(guard));
  INPUT keys[] = {Key(VK_MENU, false), Key(VK_MENU, true)};
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  ASSERT_TRUE(saver.WaitForExit(kTimeoutMs)) << "Alt left the saver running";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

TEST_F(FormInput, ClickNotificationNamingAWindowOfAnotherProcessIsIgnored) {
  Process notice(L"/f", standin_.Env());
  HWND form = WaitForWindow(notice.id(), kFormClass, std::wstring(kNoticeCaption), kTimeoutMs);
  ASSERT_NE(form, nullptr);
  HWND ok = FindWindowExW(form, nullptr, L"Button", L"OK");
  ASSERT_NE(ok, nullptr);

  // Windows of this process whose user data is bogus, or a copy of what the program's own
  // button window carries.
  for (const LONG_PTR userData : {LONG_PTR{0x1234}, GetWindowLongPtrW(ok, GWLP_USERDATA)}) {
    OwnWindow stranger;
    SetWindowLongPtrW(stranger.get(), GWLP_USERDATA, userData);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                        reinterpret_cast<LPARAM>(stranger.get()), SMTO_ABORTIFHUNG, kTimeoutMs,
                        &result);
  }
  Pump(500);
  ASSERT_TRUE(notice.Running()) << "exit code " << notice.ExitCode().value_or(0);
  ASSERT_TRUE(IsWindow(ok));

  // The button itself, clicked with the mouse, still ends the program.
  ASSERT_TRUE(Foreground(form));
  RECT r = WindowRect(ok);
  ASSERT_TRUE(SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  ASSERT_TRUE(notice.WaitForExit(kTimeoutMs)) << "the OK button did not end the notice";
  EXPECT_EQ(notice.ExitCode(), 0u);
}

}  // namespace
}  // namespace e2e
