// Every role of the real program with the stand-in control in each of its kinds: contract only
// ("bare": no persistence, no class information), contract only with a property bag ("bag"), and
// every setting also a named property without a bag ("named"). Each control refuses one setting.
// The movie plays in each, nothing is reported, and the control receives exactly the settings it
// can take.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
// The setting that every control here refuses: the host goes on without it.
constexpr wchar_t kRefused[] = L"Quality";

std::vector<std::string> FixedSettings(bool menu) {
  return {"WMode Window",     "Quality High",     "AllowScriptAccess always",
          "Scale ShowAll",    "Play true",        "Loop true",
          "DeviceFont false", "EmbedMovie false", std::string("Menu ") + (menu ? "true" : "false")};
}

class MovieControl : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override { WriteUsualSettings(folder_); }
  void TearDown() override {
    for (const std::wstring& folder : {folder_, logs_[0], logs_[1], logs_[2]}) RemoveFolder(folder);
  }

  std::wstring Mode() const { return GetParam(); }

  // What the control should have received of the settings, as its log lines, sorted.
  std::vector<std::string> ExpectedSettings(bool menu) const {
    std::vector<std::string> lines;
    for (const std::string& setting : FixedSettings(menu)) {
      if (setting.rfind(Narrow(kRefused) + " ", 0) == 0) continue;
      if (Mode() == L"bag") lines.push_back("bag " + setting);
      // Play is the control's method: no put reaches it by that name.
      if (Mode() == L"named" && setting != "Play true") lines.push_back("put " + setting);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  // Checks one run's log: the settings, then the movie and the role's variables in order, then
  // Play, with nothing refused but the one setting; and no error report or error.log.
  void ExpectPlayed(const Standin& standin, const Process& process, bool menu,
                    const std::vector<std::string>& variables) {
    ASSERT_TRUE(WaitUntil([&] { return standin.Logged("call Play"); }, kTimeoutMs))
        << ::testing::PrintToString(standin.LogLines());
    const std::string movie = "put Movie " + Narrow(folder_) + "\\vellomar.lak";
    std::vector<std::string> settings, sequence;
    bool movieSeen = false;
    for (const std::string& line : standin.LogLines()) {
      EXPECT_NE(line.rfind("refuse ", 0), 0u) << line;
      EXPECT_TRUE(line.rfind("fail ", 0) != 0 ||
                  line.rfind("fail " + std::string(Mode() == L"bag" ? "bag " : "put ") +
                                 Narrow(kRefused) + " ",
                             0) == 0)
          << line;
      if (line == movie) movieSeen = true;
      if (line == movie || line.rfind("call ", 0) == 0) {
        sequence.push_back(line);
      } else if (line.rfind("bag ", 0) == 0 || line.rfind("put ", 0) == 0) {
        EXPECT_FALSE(movieSeen) << "a setting after the movie: " << line;
        settings.push_back(line);
      }
    }
    std::sort(settings.begin(), settings.end());
    EXPECT_EQ(settings, ExpectedSettings(menu));
    std::vector<std::string> expected{movie};
    for (const std::string& variable : variables) expected.push_back("call SetVariable " + variable);
    expected.push_back("call Play");
    EXPECT_EQ(sequence, expected);
    EXPECT_EQ(FindTopLevel(process.id(), [](HWND w) { return ClassOf(w) == L"#32770"; }), nullptr)
        << "an error report: " << Narrow(MessageBoxText(WaitForMessageBox(process, 0)));
    EXPECT_FALSE(ReadBytes(folder_ + L"\\error.log")) << *ReadBytes(folder_ + L"\\error.log");
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"control");
  // The control's log of each role apart.
  std::wstring logs_[3] = {MakeFolder(L"control-s"), MakeFolder(L"control-p"),
                           MakeFolder(L"control-c")};
};

TEST_P(MovieControl, EveryRolePlaysWithTheSettingsTheControlTakes) {
  {
    SCOPED_TRACE("full screen");
    Standin standin(logs_[0]);
    Process saver(L"/s", standin.Env(kRefused, Mode()));
    HWND guard = WaitForGuard(saver);
    ASSERT_NE(guard, nullptr);
    ExpectPlayed(standin, saver, true, {"music 1", "language 2", "routine s"});
    PostKey(guard, 'A');
    ASSERT_TRUE(saver.WaitForExit(kTimeoutMs));
    EXPECT_EQ(saver.ExitCode(), 0u);
  }
  {
    SCOPED_TRACE("preview");
    Standin standin(logs_[1]);
    PreviewPane pane;
    Process preview(L"/p " + pane.Number(), standin.Env(kRefused, Mode()));
    HWND picture = pane.WaitForChildOf(preview, kTimeoutMs);
    ASSERT_NE(picture, nullptr);
    ExpectPlayed(standin, preview, false, {"routine p"});
    PostMessageW(picture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
    EXPECT_EQ(preview.ExitCode(), 0u);
  }
  {
    SCOPED_TRACE("settings dialog");
    Standin standin(logs_[2]);
    Process dialog(L"/c", standin.Env(kRefused, Mode()));
    HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ExpectPlayed(standin, dialog, false, {"music 1", "mouse 3", "language 2", "routine c"});
    // The movie's commands arrive: the host listens on the control's default event interface.
    standin.Send({{"setmouse", "7"}});
    EXPECT_TRUE(WaitUntil(
        [] {
          const auto mouse = ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse");
          return mouse && mouse->bytes == "7";
        },
        kTimeoutMs));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
    EXPECT_EQ(dialog.ExitCode(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, MovieControl, ::testing::Values(L"bare", L"bag", L"named"),
                         [](const auto& info) { return Narrow(info.param); });

}  // namespace
}  // namespace e2e
