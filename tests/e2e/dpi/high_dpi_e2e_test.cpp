// The program on a screen of 144 DPI: the full-screen windows and the movie cover the screen's
// real pixels; the settings dialog and the notice are sized from their twips at that DPI. Runs in a Wine session of its own (tools/wine/dpi-session.sh 144). This test program is
// per-monitor aware itself, so every size it reads is in the screen's real pixels.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr int kDpi = 144;
constexpr wchar_t kNoticeCaption[] = L"Screensaver Setup";

class HighDpi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  }
  void SetUp() override {
    // Each process reads the DPI when it starts: without the session's set-up it is 96, silently.
    ASSERT_EQ(GetDpiForSystem(), static_cast<UINT>(kDpi)) << "not a session at 144 DPI";
    WriteUsualSettings(folder_);
  }
  void TearDown() override { RemoveFolder(folder_); }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"dpi");
  Standin standin_{folder_};
};

TEST_F(HighDpi, FullScreenWindowsAndTheMovieCoverTheScreensPixels) {
  Process saver(L"/s", standin_.Env());
  HWND guard = WaitForGuard(saver);
  ASSERT_NE(guard, nullptr);
  HWND backdrop =
      FindTopLevel(saver.id(), [](HWND w) { return ClassOf(w) == kFormClass && TextOf(w).empty(); });
  HWND movie = FindTopLevel(saver.id(), [](HWND w) { return TextOf(w) == kMovieWindowCaption; });
  ASSERT_NE(backdrop, nullptr);
  ASSERT_NE(movie, nullptr);
  HWND control = GetWindow(movie, GW_CHILD);
  ASSERT_NE(control, nullptr);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  ASSERT_EQ(screen.right, 1024) << "the session's screen is 1024 pixels wide";
  for (HWND window : {guard, backdrop, movie, control}) {
    EXPECT_TRUE(SameRect(WindowRect(window), screen)) << Narrow(ClassOf(window));
  }
  // The movie reaches the screen's last pixels.
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
  RaiseTopMostWindows(saver.id());
  Pump(300);
  const Screenshot shot(screen);
  EXPECT_EQ(shot.At(screen.right - 2, screen.bottom - 2), kStandinSaverColour);
  PostKey(guard, 'X');
  ASSERT_TRUE(saver.WaitForExit(kTimeoutMs));
}

TEST_F(HighDpi, SettingsDialogIsSizedFromItsTwips) {
  Process dialog(L"/c", standin_.Env());
  HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
  ASSERT_NE(window, nullptr);
  // 7260 x 5550 twips; the movie in its margin, 240 and 120 twips in, 6735 x 5295 twips.
  EXPECT_TRUE(SameRect(ClientRect(window), RECT{0, 0, 726, 555}));
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
  Pump(300);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const Screenshot shot(RECT{origin.x, origin.y, origin.x + 726, origin.y + 555});
  EXPECT_EQ(shot.At(origin.x + 24, origin.y + 12), kStandinSettingsColour);
  EXPECT_EQ(shot.At(origin.x + 24 + 673, origin.y + 12 + 529), kStandinSettingsColour);
  EXPECT_NE(shot.At(origin.x + 24 + 674, origin.y + 12 + 530), kStandinSettingsColour);
  EXPECT_NE(shot.At(origin.x + 23, origin.y + 11), kStandinSettingsColour);
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
}

// Every language's notice, drawn in the label's own font at its width, fits the label, and the
// screen shows ink on the text's last line.
TEST_F(HighDpi, NoticeLabelShowsItsWholeTextInEveryLanguage) {
  for (const char* language : {"1043", "1033", "1036", "1031", "1040", "1046", "3082"}) {
    WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", language);
    Process notice(L"/f", standin_.Env());
    HWND window = WaitForWindow(notice.id(), kFormClass, std::wstring(kNoticeCaption), kTimeoutMs);
    ASSERT_NE(window, nullptr) << language;
    HWND label = FindWindowExW(window, nullptr, L"Static", nullptr);
    ASSERT_NE(label, nullptr) << language;
    Pump(200);
    const RECT client = ClientRect(label);
    const std::wstring text = TextOf(label);
    HDC dc = GetDC(label);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT needed{0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    EXPECT_GE(metrics.tmHeight, 18) << language << ": the label's font is not scaled to 144 DPI";
    EXPECT_LE(needed.bottom, client.bottom) << language;

    const int lines = needed.bottom / metrics.tmHeight;
    POINT origin{0, 0};
    ClientToScreen(label, &origin);
    const Screenshot shot(
        RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
    bool inkOnLastLine = false;
    for (int y = (lines - 1) * metrics.tmHeight; y < lines * metrics.tmHeight && !inkOnLastLine;
         ++y) {
      for (int x = 0; x < client.right && !inkOnLastLine; ++x) {
        const COLORREF c = shot.At(origin.x + x, origin.y + y);
        inkOnLastLine = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
      }
    }
    EXPECT_TRUE(inkOnLastLine) << language << ": line " << lines << " is not drawn";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(notice.WaitForExit(kTimeoutMs)) << language;
  }
}

}  // namespace
}  // namespace e2e
