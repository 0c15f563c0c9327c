// The preview (/p <pane>) as a process: the picture box inside a pane window that the test owns,
// the two ways the preview ends, a pane of 0, and the close-to-exit time.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;

class Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteUsualSettings(folder_);
  }
  void TearDown() override { RemoveFolder(folder_); }

  // Waits until the picture box of the process shows in the pane with the pane's client size.
  HWND WaitForPictureInPane(const Process& preview, const PreviewPane& pane) {
    return pane.WaitForChildOf(preview, kTimeoutMs);
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"preview");
  Standin standin_{folder_};
};

TEST_F(Preview, PictureBoxFillsThePaneAndTheMoviePlaysThePreviewRole) {
  PreviewPane pane;
  Process preview(L"/p " + pane.Number(), standin_.Env());
  HWND picture = WaitForPictureInPane(preview, pane);
  ASSERT_NE(picture, nullptr) << "no picture box of the pane's size inside the pane";
  EXPECT_EQ(ClassOf(picture), kPictureClass);
  RECT inPane{};
  GetWindowRect(picture, &inPane);
  MapWindowPoints(nullptr, pane.pane(), reinterpret_cast<POINT*>(&inPane), 2);
  EXPECT_TRUE(SameRect(inPane, RECT{0, 0, PreviewPane::kWidth, PreviewPane::kHeight}));
  // The movie control covers the picture box.
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
  HWND control = GetWindow(picture, GW_CHILD);
  ASSERT_NE(control, nullptr);
  EXPECT_TRUE(SameRect(WindowRect(control), WindowRect(picture)));
  EXPECT_TRUE(standin_.Logged("call SetVariable routine p"));
  for (const std::string& line : standin_.LogLines()) {
    EXPECT_EQ(line.find("SetVariable music"), std::string::npos) << line;
    EXPECT_EQ(line.find("SetVariable language"), std::string::npos) << line;
  }
  // The hidden form stays hidden: nothing of the program shows outside the pane.
  for (HWND window : TopLevelWindows(preview.id())) {
    EXPECT_FALSE(IsWindowVisible(window)) << Narrow(ClassOf(window));
  }
  PostMessageW(picture, WM_CLOSE, 0, 0);
  ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
  EXPECT_EQ(preview.ExitCode(), 0u);
}

TEST_F(Preview, CloseToThePictureBoxLeavesThePaneAtOnceAndEndsTheProcess) {
  PreviewPane pane;
  Process preview(L"/p " + pane.Number(), standin_.Env());
  HWND picture = WaitForPictureInPane(preview, pane);
  ASSERT_NE(picture, nullptr);
  const double closeMs = NowMs();
  ASSERT_EQ(SendMessageW(picture, WM_CLOSE, 0, 0), 0);
  // Handled inside the message: the picture box has left the pane when SendMessage returns.
  EXPECT_EQ(pane.Child(), nullptr);
  ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
  std::printf("[ measured ] close to exit: %.0f ms\n", preview.exitMs() - closeMs);
  EXPECT_EQ(preview.ExitCode(), 0u);
  EXPECT_TRUE(IsWindow(pane.pane())) << "the pane belongs to the control panel and stays";
}

TEST_F(Preview, DestroyingThePaneEndsTheProcess) {
  PreviewPane pane;
  Process preview(L"/p " + pane.Number(), standin_.Env());
  HWND picture = WaitForPictureInPane(preview, pane);
  ASSERT_NE(picture, nullptr);
  ASSERT_TRUE(DestroyWindow(pane.pane()));
  ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
  EXPECT_EQ(preview.ExitCode(), 0u);
}

TEST_F(Preview, PaneOfZeroEndsByItself) {
  Process preview(L"/p 0", standin_.Env());
  // With no pane the picture box gets the zero-size client rectangle of "window 0": whatever
  // shows of the program has no area.
  std::wstring seen;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(preview.id())) {
          const RECT r = WindowRect(window);
          if (IsWindowVisible(window) && r.right > r.left && r.bottom > r.top) {
            seen = ClassOf(window);
          }
        }
        return !preview.Running();
      },
      kTimeoutMs));
  EXPECT_EQ(preview.ExitCode(), 0u);
  EXPECT_EQ(Narrow(seen), "") << "a window with an area showed";
  std::printf("[ measured ] /p 0 start to exit: %.0f ms\n", NowMs() - preview.startMs());
}

// Printed, never asserted: from a WM_CLOSE posted to the picture box to the end of the process.
TEST_F(Preview, MedianOfCloseToExit) {
  std::vector<double> closeToExit;
  for (int run = 0; run < 5; ++run) {
    PreviewPane pane;
    Process preview(L"/p " + pane.Number(), standin_.Env());
    HWND picture = WaitForPictureInPane(preview, pane);
    ASSERT_NE(picture, nullptr);
    const double closeMs = NowMs();
    PostMessageW(picture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
    closeToExit.push_back(preview.exitMs() - closeMs);
    EXPECT_EQ(preview.ExitCode(), 0u);
  }
  ReportMedian("preview_close_to_exit_ms", closeToExit);
}

}  // namespace
}  // namespace e2e
