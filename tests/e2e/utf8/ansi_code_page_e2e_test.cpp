// The program on a system whose ANSI code page is UTF-8 (65001): every role that passes text
// through the ANSI entry points (the single-instance test, the settings, error.log) and the
// localized captions. Runs in a Wine session of its own (tools/wine/utf8-session.sh), against a
// copy of vellomar.scr that converts text as strictly as Windows does there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;

class Utf8CodePage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "not a session with a UTF-8 code page";
    WriteUsualSettings(folder_);
  }
  void TearDown() override { RemoveFolder(folder_); }

  static bool Holds(const char* name, const std::string& bytes) {
    const auto value = ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
    return value && value->type == REG_SZ && value->bytes == bytes;
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"utf8");
  Standin standin_{folder_};
};

TEST_F(Utf8CodePage, SecondSaverDoesNotStartWhileTheFirstRuns) {
  Process first(L"/s", standin_.Env());
  HWND guard = WaitForGuard(first);
  ASSERT_NE(guard, nullptr) << "the first saver did not start";
  Process second(L"/s", standin_.Env());
  bool sawWindow = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        sawWindow = sawWindow || !FormWindows(second.id()).empty();
        return !second.Running();
      },
      kTimeoutMs));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_FALSE(sawWindow);
  EXPECT_TRUE(first.Running());
  PostKey(guard, 'X');
  ASSERT_TRUE(first.WaitForExit(kTimeoutMs));
  EXPECT_EQ(first.ExitCode(), 0u);
}

// The captions carry accents; the settings are read and stored byte for byte.
TEST_F(Utf8CodePage, SettingsDialogReadsItsSettingsStoresCommandsAndShowsLocalizedCaptions) {
  const std::pair<const char*, const wchar_t*> languages[] = {
      {"1046", L"As configura\u00e7\u00f5es do Screensaver"},
      {"1036", L"Les configurations de Screensaver"}};
  int round = 0;
  for (const auto& [language, caption] : languages) {
    WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", language);
    Process dialog(L"/c", standin_.Env());
    HWND window = WaitForWindow(dialog.id(), kFormClass, std::wstring(caption), kTimeoutMs);
    ASSERT_NE(window, nullptr) << "no dialog captioned " << Narrow(caption);
    ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
    EXPECT_TRUE(standin_.Logged("put Movie " + Narrow(folder_) + "\\vellomar.lak"));
    EXPECT_TRUE(standin_.Logged("call SetVariable mouse 3"));

    const std::string music = "m" + std::to_string(++round);
    standin_.Send({{"setmusic", music}, {"setmouse", "25"}});
    EXPECT_TRUE(WaitUntil([&] { return Holds("music", music) && Holds("mouse", "25"); },
                          kTimeoutMs))
        << "language " << language;
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
    EXPECT_EQ(dialog.ExitCode(), 0u);
    WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse", "3");
  }
}

TEST_F(Utf8CodePage, FailingMovieIsLoggedInTheInstallFolder) {
  const FILETIME before = LocalNow();
  Process dialog(L"/c", standin_.Env(L"Movie"));
  const std::wstring log = folder_ + L"\\error.log";
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(log).value_or("").empty(); }, kTimeoutMs))
      << "no error.log line";
  const FILETIME after = LocalNow();
  const std::vector<std::string> lines = LinesWithEnds(*ReadBytes(log));
  ASSERT_EQ(lines.size(), 1u);
  const std::size_t blanks = lines[0].find("   ");
  ASSERT_NE(blanks, std::string::npos) << lines[0];
  EXPECT_EQ(DateTimeTexts(before, after).count(lines[0].substr(0, blanks)), 1u) << lines[0];
  EXPECT_NE(lines[0].find("stand-in failure: Movie", blanks), std::string::npos) << lines[0];
  EXPECT_EQ(lines[0].substr(lines[0].size() - 2), "\r\n");
  HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
}

}  // namespace
}  // namespace e2e
