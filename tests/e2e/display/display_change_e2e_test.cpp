// The display changes its mode while the full-screen saver runs, as when a monitor wakes in
// another mode: the backdrop, the guard, the movie window and the movie cover the new screen, and
// a click where the old screen ended reaches the guard. Runs in a Wine session of its own
// (tools/wine/display-session.sh) whose screen offers 800x600 besides its own 1024x768.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;

LONG ChangeModeTo(int width, int height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, CDS_FULLSCREEN, nullptr);
}

RECT Screen() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

::testing::AssertionResult Covers(HWND window, const RECT& expected) {
  const RECT r = WindowRect(window);
  if (SameRect(r, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << Narrow(ClassOf(window)) << " \"" << Narrow(TextOf(window)) << "\" at (" << r.left
         << "," << r.top << ")-(" << r.right << "," << r.bottom << "), expected ("
         << expected.left << "," << expected.top << ")-(" << expected.right << ","
         << expected.bottom << ")";
}

class DisplayChange : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ChangeModeTo(800, 600), DISP_CHANGE_SUCCESSFUL) << "not a session with 800x600";
    ASSERT_TRUE(SameRect(Screen(), RECT{0, 0, 800, 600}));
    WriteUsualSettings(folder_);
  }
  // Back to the mode the session started with.
  void TearDown() override {
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
    RemoveFolder(folder_);
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"display");
  Standin standin_{folder_};
};

TEST_F(DisplayChange, FullScreenWindowsFollowAGrowingScreenAndAClickThereEndsTheRun) {
  Process saver(L"/s", standin_.Env());
  HWND guard = WaitForGuard(saver);
  ASSERT_NE(guard, nullptr);
  HWND backdrop = FindTopLevel(
      saver.id(), [](HWND w) { return ClassOf(w) == kFormClass && TextOf(w).empty(); });
  HWND movie =
      FindTopLevel(saver.id(), [](HWND w) { return TextOf(w) == kMovieWindowCaption; });
  ASSERT_NE(backdrop, nullptr);
  ASSERT_NE(movie, nullptr);
  HWND control = GetWindow(movie, GW_CHILD);
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));

  ASSERT_EQ(ChangeModeTo(1024, 768), DISP_CHANGE_SUCCESSFUL);
  const RECT screen = Screen();
  ASSERT_TRUE(SameRect(screen, RECT{0, 0, 1024, 768}));
  // One monitor: the virtual screen is the primary one.
  WaitUntil([&] { return SameRect(WindowRect(control), screen); }, kTimeoutMs);
  for (HWND window : {guard, backdrop, movie, control}) EXPECT_TRUE(Covers(window, screen));

  // Where the old screen ended: the pointer's move and the click reach the guard.
  ASSERT_TRUE(SetCursorPos(1000, 740));
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  ASSERT_TRUE(saver.WaitForExit(kTimeoutMs)) << "the click did not end the saver";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

}  // namespace
}  // namespace e2e
