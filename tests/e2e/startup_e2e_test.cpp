// Start-up as a process: the Flash Player notice (/f) in the stored language, switches that open
// nothing, and the overflow report for a handle too large for 32 bits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr wchar_t kNoticeCaption[] = L"Screensaver Setup";

constexpr wchar_t kGermanNotice[] =
    L"Dieser Screensaver erfordert die späteste Version des Flash Player. Der Flash Player wird "
    L"jetzt in Ihren Computer installiert werden. Bitte Antwort \"Yes\", wenn Sie veranlasst "
    L"werden, den Flash Player zu installieren.";
constexpr wchar_t kSpanishNotice[] =
    L"Este Screensaver requiere la última versión del Flash Player. El Flash Player ahora se "
    L"instalará en su computadora. Por favor \"Yes\" de respuesta cuando usted es incitado a "
    L"instalar el Flash Player.";

// Windows of a process seen while it ran, for switches that must open none.
struct Sightings {
  std::vector<std::wstring> forms;    // our form windows, visible or not
  std::vector<std::wstring> visible;  // any visible window with an area
  void Look(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
      const RECT r = WindowRect(window);
      if (ClassOf(window) == kFormClass) forms.push_back(TextOf(window));
      if (IsWindowVisible(window) && r.right > r.left && r.bottom > r.top) {
        visible.push_back(ClassOf(window));
      }
    }
  }
};

class Startup : public ::testing::Test {
 protected:
  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"startup");
  Standin standin_{folder_};
  void TearDown() override { RemoveFolder(folder_); }

  // Starts the program with these arguments, waits for its end and notes every window it had.
  Sightings RunToEnd(const std::wstring& args, std::optional<DWORD>* exitCode) {
    Sightings seen;
    Process process(args, standin_.Env());
    EXPECT_TRUE(WaitUntil(
        [&] {
          seen.Look(process.id());
          return !process.Running();
        },
        kTimeoutMs))
        << Narrow(args) << " is still running";
    process.WaitForExit(0);
    *exitCode = process.ExitCode();
    return seen;
  }
};

// The notice's label, once the notice window is up.
HWND NoticeLabel(HWND notice) { return FindWindowExW(notice, nullptr, L"Static", nullptr); }

TEST_F(Startup, NoticeShowsTheGermanTextAndOkEndsTheProgram) {
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "1031");
  Process notice(L"/f", standin_.Env());
  HWND window = WaitForWindow(notice.id(), kFormClass, std::wstring(kNoticeCaption), kTimeoutMs);
  ASSERT_NE(window, nullptr);
  HWND label = NoticeLabel(window);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(TextOf(label), kGermanNotice);
  EXPECT_EQ(TextOf(label).size(), 216u);
  HWND ok = FindWindowExW(window, nullptr, L"Button", L"OK");
  ASSERT_NE(ok, nullptr);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
               reinterpret_cast<LPARAM>(ok));
  ASSERT_TRUE(notice.WaitForExit(kTimeoutMs));
  EXPECT_EQ(notice.ExitCode(), 0u);
}

TEST_F(Startup, NoticeShowsTheSpanishTextAndItsCloseBoxEndsTheProgram) {
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "3082");
  Process notice(L"/F", standin_.Env());
  HWND window = WaitForWindow(notice.id(), kFormClass, std::wstring(kNoticeCaption), kTimeoutMs);
  ASSERT_NE(window, nullptr);
  HWND label = NoticeLabel(window);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(TextOf(label), kSpanishNotice);
  EXPECT_EQ(TextOf(label).size(), 197u);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(notice.WaitForExit(kTimeoutMs));
  EXPECT_EQ(notice.ExitCode(), 0u);
}

TEST_F(Startup, NoticeOfAnUnsupportedLanguageHasAnEmptyLabel) {
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "2057");
  Process notice(L"/f", standin_.Env());
  HWND window = WaitForWindow(notice.id(), kFormClass, std::wstring(kNoticeCaption), kTimeoutMs);
  ASSERT_NE(window, nullptr);
  HWND label = NoticeLabel(window);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(TextOf(label), L"");
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(notice.WaitForExit(kTimeoutMs));
  EXPECT_EQ(notice.ExitCode(), 0u);
}

TEST_F(Startup, UnknownSwitchesEndAtOnceWithoutWindows) {
  for (const wchar_t* args : {L"/x", L"-s", L"s", L"/q 596"}) {
    std::optional<DWORD> exitCode;
    const Sightings seen = RunToEnd(args, &exitCode);
    EXPECT_EQ(exitCode, 0u) << Narrow(args);
    EXPECT_TRUE(seen.forms.empty()) << Narrow(args) << " opened a form";
    EXPECT_TRUE(seen.visible.empty()) << Narrow(args) << " showed " << Narrow(seen.visible[0]);
  }
}

// Wine has no consumer-line password dialog: the switch calls the system and ends.
TEST_F(Startup, PasswordChangeSwitchOpensNoWindowOfItsOwnAndEnds) {
  std::optional<DWORD> exitCode;
  const Sightings seen = RunToEnd(L"/a 596", &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(seen.forms.empty()) << "a form was loaded";
  EXPECT_TRUE(standin_.LogLines().empty()) << "a movie control was created";
}

TEST_F(Startup, ElevenDigitHandleShowsTheOverflowReportAndNoOtherWindow) {
  Process preview(L"/p 12345678901", standin_.Env());
  HWND box = WaitForMessageBox(preview);
  ASSERT_NE(box, nullptr) << "no error report";
  EXPECT_EQ(MessageBoxText(box), L"Run-time error 6:\n\nOverflow");
  EXPECT_EQ(TextOf(box), L"vellomar");
  Sightings seen;
  seen.Look(preview.id());
  EXPECT_TRUE(seen.forms.empty()) << "a form was loaded";
  EXPECT_EQ(seen.visible, std::vector<std::wstring>{L"#32770"});
  EXPECT_TRUE(standin_.LogLines().empty()) << "a movie control was created";
  DismissMessageBox(box);
  ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
  EXPECT_EQ(preview.ExitCode(), 1u);
}

}  // namespace
}  // namespace e2e
