// The full-screen saver keeps the keyboard: another window that comes up does not take the input
// away from the guard, and a runtime error report comes up above the saver's windows, with the
// keyboard and the cursor, so the user can read and answer it. Driven with real input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
// Where the purchase page's browser control is found by its programmatic id.
constexpr wchar_t kBrowserClassKey[] = L"Shell.Explorer.2\\CLSID";

std::wstring ClassesText(const wchar_t* key) {
  wchar_t text[64] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

void SetClassesText(const wchar_t* key, const std::wstring& text) {
  RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Set when the other window, once active, has lost the activation again.
bool otherLostActivation = false;

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ACTIVATE && LOWORD(wp) == WA_INACTIVE) otherLostActivation = true;
  return DefWindowProcW(w, m, wp, lp);
}

class Foreground : public ::testing::Test {
 protected:
  void SetUp() override { WriteUsualSettings(folder_); }
  void TearDown() override {
    if (!browserClass_.empty()) SetClassesText(kBrowserClassKey, browserClass_);
    RemoveFolder(folder_);
  }

  // A window of the test's own that takes the foreground, as another program's would.
  static HWND OtherProgramsWindow() {
    WNDCLASSW plain{};
    plain.lpfnWndProc = PlainProc;
    plain.hInstance = GetModuleHandleW(nullptr);
    plain.lpszClassName = L"VellomarTestOther";
    RegisterClassW(&plain);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, plain.lpszClassName, L"other", WS_OVERLAPPEDWINDOW,
                                  50, 50, 300, 200, nullptr, nullptr, plain.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return window;
  }

  SettingsGuard settings_;
  std::wstring browserClass_;  // put back when a test hid the browser control
  std::wstring folder_ = MakeFolder(L"foreground");
  Standin standin_{folder_};
};

TEST_F(Foreground, GuardTakesTheKeyboardBackFromAnotherWindow) {
  Process saver(L"/s", standin_.Env());
  HWND guard = WaitForGuard(saver);
  ASSERT_NE(guard, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == guard; }, kTimeoutMs));
  otherLostActivation = false;
  HWND other = OtherProgramsWindow();
  // The switch to the other window is over only once it has been activated and lost it again,
  // and the guard has kept the foreground since for a while: on a loaded machine Wine can still
  // pass a late activation of the other window back and forth.
  double heldSince = 0;
  EXPECT_TRUE(WaitUntil(
      [&] {
        if (!otherLostActivation || GetForegroundWindow() != guard) {
          heldSince = 0;
          return false;
        }
        if (heldSince == 0) heldSince = NowMs();
        return NowMs() - heldSince >= 500;
      },
      kTimeoutMs))
      << "the other window kept the foreground";
  TypeKey('Q');
  EXPECT_TRUE(saver.WaitForExit(kTimeoutMs)) << "the key went elsewhere";
  EXPECT_EQ(saver.ExitCode(), 0u);
  DestroyWindow(other);
}

TEST_F(Foreground, AfterSpaceTheGuardStillHasTheKeyboard) {
  Process saver(L"/s", standin_.Env());
  HWND guard = WaitForGuard(saver);
  ASSERT_NE(guard, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == guard; }, kTimeoutMs));
  TypeKey(VK_SPACE);
  Pump(300);
  ASSERT_TRUE(saver.Running()) << "Space alone ended the run";
  EXPECT_EQ(GetForegroundWindow(), guard) << Narrow(ClassOf(GetForegroundWindow()));
  TypeKey('Q');
  EXPECT_TRUE(saver.WaitForExit(kTimeoutMs));
  EXPECT_EQ(saver.ExitCode(), 0u);
}

TEST_F(Foreground, ErrorReportComesUpAboveTheSaverWithKeyboardAndCursor) {
  // The purchase page's browser names a class that does not exist: Space fails.
  browserClass_ = ClassesText(kBrowserClassKey);
  ASSERT_FALSE(browserClass_.empty());
  SetClassesText(kBrowserClassKey, L"{5B0D7C4E-0000-4000-8000-00000000DEAD}");

  Process saver(L"/s", standin_.Env());
  HWND guard = WaitForGuard(saver);
  ASSERT_NE(guard, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == guard; }, kTimeoutMs));
  ASSERT_FALSE(CursorShowing());
  TypeKey(VK_SPACE);
  HWND box = WaitForMessageBox(saver);
  ASSERT_NE(box, nullptr) << "no error report";
  Pump(300);
  const std::vector<HWND> order = TopLevelWindows(saver.id());
  auto position = [&](HWND w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
  EXPECT_LT(position(box), position(guard)) << "the report is under the guard";
  EXPECT_LT(position(box), position(FindTopLevel(saver.id(), [](HWND w) {
              return TextOf(w) == kMovieWindowCaption;
            }))) << "the report is under the movie window";
  EXPECT_EQ(GetForegroundWindow(), box);
  EXPECT_TRUE(CursorShowing()) << "the report is up with the cursor hidden";
  TypeKey(VK_RETURN);
  ASSERT_TRUE(saver.WaitForExit(kTimeoutMs)) << "Enter did not answer the report";
  EXPECT_EQ(saver.ExitCode(), 1u);
}

}  // namespace
}  // namespace e2e
