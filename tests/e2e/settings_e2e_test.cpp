// The settings dialog (/c) as a process: the movie's commands stored in the real registry byte
// for byte, its caption and control, and the runtime error report when no movie control exists.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr wchar_t kEnglishCaption[] = L"Screensaver Configurations";

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteUsualSettings(folder_);
  }
  void TearDown() override { RemoveFolder(folder_); }

  static std::optional<RegValue> Setting(const char* name) {
    return ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
  }
  // True once the setting holds exactly these bytes.
  static bool Holds(const char* name, const std::string& bytes) {
    const auto value = Setting(name);
    return value && value->bytes == bytes;
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"settings");
  Standin standin_{folder_};
};

TEST_F(SettingsDialog, StoresSetmusicAndSetmouseAsTextWithoutTerminator) {
  Process dialog(L"/c", standin_.Env());
  HWND window = WaitForWindow(dialog.id(), kFormClass, std::wstring(kEnglishCaption), kTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));

  standin_.Send({{"setmusic", "0"}, {"setmouse", "25"}});
  ASSERT_TRUE(WaitUntil([] { return Holds("music", "0") && Holds("mouse", "25"); }, kTimeoutMs))
      << "music " << ::testing::PrintToString(Setting("music").value_or(RegValue{}).bytes)
      << ", mouse " << ::testing::PrintToString(Setting("mouse").value_or(RegValue{}).bytes)
      << ", control's log " << ::testing::PrintToString(standin_.LogLines());
  for (const auto& [name, text] : {std::pair{"music", "0"}, std::pair{"mouse", "25"}}) {
    const auto value = Setting(name);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(value->bytes.size(), std::string(text).size()) << name << ": byte count";
    EXPECT_EQ(value->bytes.find('\0'), std::string::npos) << name << ": holds a NUL";
  }

  // Other spellings change nothing; the last command shows that all of them were handled.
  standin_.Send({{"SetMusic", "9"}, {"setmusic ", "8"}, {"SETMOUSE", "1"}, {"setmouse", "12"}});
  ASSERT_TRUE(WaitUntil([] { return Holds("mouse", "12"); }, kTimeoutMs));
  EXPECT_TRUE(Holds("music", "0"));
  EXPECT_TRUE(standin_.Logged("fire FSCommand SetMusic 9"));

  // An empty value is stored as zero bytes of text.
  standin_.Send({{"setmusic", ""}});
  ASSERT_TRUE(WaitUntil([] { return Holds("music", ""); }, kTimeoutMs));
  EXPECT_EQ(Setting("music")->type, static_cast<DWORD>(REG_SZ));

  EXPECT_TRUE(dialog.Running()) << "no command closes the dialog";
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
  EXPECT_EQ(dialog.ExitCode(), 0u);
}

TEST_F(SettingsDialog, OpensCentredWithTheMovieControlInItsMargin) {
  Process dialog(L"/c", standin_.Env());
  HWND window = WaitForWindow(dialog.id(), kFormClass, std::wstring(kEnglishCaption), kTimeoutMs);
  ASSERT_NE(window, nullptr);
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto px = [&](int twips) { return MulDiv(twips, dpiX, 1440); };
  auto py = [&](int twips) { return MulDiv(twips, dpiY, 1440); };
  EXPECT_TRUE(SameRect(ClientRect(window), RECT{0, 0, px(7260), py(5550)}));
  const RECT outer = WindowRect(window);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_NE(style & WS_CAPTION, 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
  HWND control = GetWindow(window, GW_CHILD);
  ASSERT_NE(control, nullptr);
  RECT placed = WindowRect(control);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(SameRect(placed, RECT{px(240), py(120), px(240 + 6735), py(120 + 5295)}));
  for (const char* line : {"call SetVariable music 1", "call SetVariable mouse 3",
                           "call SetVariable language 2", "call SetVariable routine c"}) {
    EXPECT_TRUE(standin_.Logged(line)) << line;
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
  EXPECT_EQ(dialog.ExitCode(), 0u);
}

TEST_F(SettingsDialog, WithoutAMovieControlShowsTheRuntimeErrorReportAndEndsWithCode1) {
  Process dialog(L"/c", standin_.Env(L"create"));
  HWND box = WaitForMessageBox(dialog);
  ASSERT_NE(box, nullptr) << "no error report";
  const std::wstring text = MessageBoxText(box);
  EXPECT_EQ(text.rfind(L"Run-time error 429:\n\nCannot create the control "
                       L"ShockwaveFlash.ShockwaveFlash",
                       0),
            0u)
      << Narrow(text);
  EXPECT_EQ(TextOf(box), L"vellomar");
  for (HWND window : TopLevelWindows(dialog.id())) {
    EXPECT_TRUE(window == box || !IsWindowVisible(window)) << Narrow(ClassOf(window));
  }
  EXPECT_TRUE(dialog.Running()) << "the report waits for the user";
  DismissMessageBox(box);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
  EXPECT_EQ(dialog.ExitCode(), 1u);
}

}  // namespace
}  // namespace e2e
