// The full-screen saver on a desk of two monitors: the backdrop and the guard cover both, the
// movie the primary one, and a click on the second monitor ends the run. Runs in Wine sessions
// of its own (tools/wine/monitors-session.sh), the second monitor right of the primary or left of
// it; VELLOMAR_SECOND_MONITOR ("right" or "left") says which one this session should show.
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
  HWND backdrop = FindTopLevel(id, [](HWND w) { return ClassOf(w) == kFormClass && TextOf(w).empty(); });
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
  const POINT middle{(second_.left + second_.right) / 2, (second_.top + second_.bottom) / 2};
  EXPECT_EQ(GetAncestor(WindowFromPoint(middle), GA_ROOT), guard);
  PostKey(guard, 'X');
  ASSERT_TRUE(saver->WaitForExit(kExitTimeoutMs));
}

TEST_F(TwoMonitors, ClickOnTheSecondMonitorEndsTheRun) {
  HWND guard = nullptr;
  auto saver = StartToGuard(&guard);
  ASSERT_NE(guard, nullptr);
  ASSERT_TRUE(SetCursorPos((second_.left + second_.right) / 2, (second_.top + second_.bottom) / 2));
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
  ASSERT_TRUE(saver->WaitForExit(kExitTimeoutMs)) << "the saver is still running";
  EXPECT_EQ(saver->ExitCode(), 0u);
}

}  // namespace
}  // namespace e2e
