// The full-screen saver on a desk of two monitors: the backdrop and the guard cover both, the
// movie the primary one, and a click or the stored count of real moves on the second monitor ends
// the run. Runs in Wine sessions of its own (tools/wine/monitors-session.sh), the second monitor
// right of the primary or left of it; VELLOMAR_SECOND_MONITOR ("right" or "left") says which.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kExitTimeoutMs = 10000;

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcMonitor);
  }
  return TRUE;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without the session's set-up Wine shows one wide monitor, silently.
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "not a session with two monitors";
    std::vector<RECT> others;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&others));
    ASSERT_EQ(others.size(), 1u);
    second_ = others[0];
    const char* side = std::getenv("VELLOMAR_SECOND_MONITOR");
    ASSERT_NE(side, nullptr);
    if (std::string(side) == "left") {
      ASSERT_LT(second_.right, 1) << "the second monitor is not left of the primary";
    } else {
      ASSERT_GE(second_.left, GetSystemMetrics(SM_CXSCREEN));
    }
    WriteUsualSettings(folder_);
  }
  void TearDown() override { RemoveFolder(folder_); }

  std::unique_ptr<Process> StartToGuard(HWND* guard) {
    auto saver = std::make_unique<Process>(L"/s", standin_.Env());
    *guard = saver->started() ? WaitForGuard(*saver) : nullptr;
    return saver;
  }

  static RECT VirtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  }

  // A point of the second monitor, from its middle.
  POINT OnSecond(int dx = 0, int dy = 0) const {
    return POINT{(second_.left + second_.right) / 2 + dx, (second_.top + second_.bottom) / 2 + dy};
  }

  RECT second_{};
  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"monitors");
  Standin standin_{folder_};
};

::testing::AssertionResult Covers(HWND window, const RECT& expected) {
  const RECT r = WindowRect(window);
  if (SameRect(r, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "window at (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom
         << "), expected (" << expected.left << "," << expected.top << ")-(" << expected.right
         << "," << expected.bottom << ")";
}

TEST_F(TwoMonitors, BackdropAndGuardCoverBothMonitorsTheMovieThePrimaryOne) {
  HWND guard = nullptr;
  auto saver = StartToGuard(&guard);
  ASSERT_NE(guard, nullptr);
  const DWORD id = saver->id();
  HWND backdrop =
      FindTopLevel(id, [](HWND w) { return ClassOf(w) == kFormClass && TextOf(w).empty(); });
  HWND movie = FindTopLevel(id, [](HWND w) { return TextOf(w) == kMovieWindowCaption; });
  ASSERT_NE(backdrop, nullptr);
  ASSERT_NE(movie, nullptr);
  const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_TRUE(Covers(guard, VirtualScreen()));
  EXPECT_TRUE(Covers(backdrop, VirtualScreen()));
  EXPECT_TRUE(Covers(movie, primary));
  HWND control = GetWindow(movie, GW_CHILD);
  ASSERT_NE(control, nullptr);
  EXPECT_TRUE(Covers(control, primary));
  // Over the second monitor the guard is the window that takes the input.
  EXPECT_EQ(GetAncestor(WindowFromPoint(OnSecond()), GA_ROOT), guard);

  // On the screen: the movie on the primary monitor to its edges, black on the second monitor.
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kExitTimeoutMs));
  RaiseTopMostWindows(id);
  Pump(300);
  const Screenshot shot(VirtualScreen());
  for (const POINT& p : {POINT{1, 1}, POINT{primary.right - 2, primary.bottom - 2}}) {
    EXPECT_EQ(shot.At(p.x, p.y), kStandinSaverColour) << "at " << p.x << "," << p.y;
  }
  for (const POINT& p : {OnSecond(), POINT{second_.left + 1, second_.top + 1},
                         POINT{second_.right - 2, second_.bottom - 2}}) {
    EXPECT_EQ(shot.At(p.x, p.y), RGB(0, 0, 0)) << "at " << p.x << "," << p.y;
  }
  PostKey(guard, 'X');
  ASSERT_TRUE(saver->WaitForExit(kExitTimeoutMs));
}

TEST_F(TwoMonitors, ClickOnTheSecondMonitorEndsTheRun) {
  HWND guard = nullptr;
  auto saver = StartToGuard(&guard);
  ASSERT_NE(guard, nullptr);
  const POINT middle = OnSecond();
  ASSERT_TRUE(SetCursorPos(middle.x, middle.y));
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  ASSERT_TRUE(saver->WaitForExit(kExitTimeoutMs)) << "the saver is still running";
  EXPECT_EQ(saver->ExitCode(), 0u);
}

// The stored count is 3: real moves over the second monitor alone reach it.
TEST_F(TwoMonitors, StoredCountOfRealMovesOverTheSecondMonitorEndsTheRun) {
  const POINT start = OnSecond(-100, -100);
  ASSERT_TRUE(SetCursorPos(start.x, start.y));
  HWND guard = nullptr;
  auto saver = StartToGuard(&guard);
  ASSERT_NE(guard, nullptr);
  for (int i = 1; i <= 2; ++i) {
    const POINT to = OnSecond(i * 40, i * 30);
    ASSERT_TRUE(SetCursorPos(to.x, to.y));
    Pump(150);
  }
  Pump(300);
  EXPECT_TRUE(saver->Running()) << "two moves must not end a run whose count is 3";
  const POINT last = OnSecond(120, 90);
  ASSERT_TRUE(SetCursorPos(last.x, last.y));
  ASSERT_TRUE(saver->WaitForExit(kExitTimeoutMs)) << "the saver is still running";
  EXPECT_EQ(saver->ExitCode(), 0u);
}

TEST_F(TwoMonitors, KeyWhileThePointerIsOnTheSecondMonitorEndsTheRun) {
  const POINT middle = OnSecond();
  ASSERT_TRUE(SetCursorPos(middle.x, middle.y));
  HWND guard = nullptr;
  auto saver = StartToGuard(&guard);
  ASSERT_NE(guard, nullptr);
  TypeKey('Q');
  ASSERT_TRUE(saver->WaitForExit(kExitTimeoutMs)) << "the saver is still running";
  EXPECT_EQ(saver->ExitCode(), 0u);
}

// The windows that are not full-screen stay where one monitor would put them.
TEST_F(TwoMonitors, SettingsDialogAndNoticeOpenCentredOnThePrimaryMonitor) {
  for (const wchar_t* args : {L"/c", L"/f"}) {
    Process process(args, standin_.Env());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
          window = FindTopLevel(process.id(), [](HWND w) {
            return ClassOf(w) == kFormClass && IsWindowVisible(w);
          });
          return window != nullptr;
        },
        kExitTimeoutMs))
        << Narrow(args);
    const RECT outer = WindowRect(window);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(process.WaitForExit(kExitTimeoutMs)) << Narrow(args);
  }
}

}  // namespace
}  // namespace e2e
