// The settings dialog: whole runs of "/c" on the in-memory platform, with the movie's commands
// fired at its control.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"
#include "startup/main.h"

namespace vellomar {
namespace {

const std::string kFlash = kFlashProgId;

class ConfigurationTest : public ::testing::Test {
 protected:
  ConfigurationTest() {
    sim.commandArgs = "/c";
    Store("path", "C:\\Saver");
  }

  void Store(const std::string& name, const std::string& text) {
    sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, name, text);
  }
  std::optional<sim::RegValue> Stored(const std::string& name) {
    return sim.registry().Value(win::kHKeyLocalMachine, kSettingsKey, name);
  }
  const sim::SimWindow* Dialog() {
    const Configuration* form = Program::Current().Find<Configuration>();
    return form ? sim.windows().Get(form->hWnd()) : nullptr;
  }
  // The movie sends a command at the given moment.
  void CommandAt(double seconds, const std::string& command, const std::string& args) {
    sim.At(seconds, [=, this] {
      sim.FireControlEvent(*sim.LastControl(kFlash), kDispFsCommand, {command, args});
    });
  }
  // Keeps the caption the dialog has while it is open.
  void ObserveCaption() {
    sim.At(0.5, [this] {
      ASSERT_NE(Dialog(), nullptr);
      EXPECT_TRUE(Dialog()->visible);
      caption = Dialog()->text;
    });
  }
  const std::vector<std::string>& MovieCalls() { return sim.LastControl(kFlash)->calls; }

  sim::SimPlatform sim;
  std::string caption = "(not seen)";
};

TEST_F(ConfigurationTest, MovieGetsTheStoredSettingsInOrder) {
  Store("language", "1033");
  Store("music", "1");
  Store("mouse", "5");
  ObserveCaption();
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_FALSE(result.exited);
  const std::vector<std::string> expected = {
      "Put 102 C:\\Saver\\vellomar.lak", "Invoke 151 music 1",   "Invoke 151 mouse 5",
      "Invoke 151 language 2",           "Invoke 151 routine c", "Invoke 112"};
  EXPECT_EQ(MovieCalls(), expected);
  EXPECT_EQ(caption, "Screensaver Configurations");
}

TEST_F(ConfigurationTest, EachLanguageGivesItsIndexAndCaption) {
  const struct {
    const char* identifier;
    const char* index;
    const char* caption;
  } rows[] = {{"1043", "1", "Configuratie van de Screensaver"},
              {"1036", "3", "Les configurations de Screensaver"},
              {"1031", "4", "Konfigurationen vom Screensaver"},
              {"1040", "5", "Le configurazioni dello Screensaver"},
              {"1046", "6", "As configura\u00e7\u00f5es do Screensaver"},
              {"3082", "7", "Las configuraciones del Screensaver"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.identifier);
    sim::SimPlatform run;
    run.commandArgs = "/c";
    run.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "language", row.identifier);
    std::string seen;
    run.At(0.5, [&] {
      seen = run.windows().Get(Program::Current().Find<Configuration>()->hWnd())->text;
    });
    run.Run(Main, 1.0);

    EXPECT_EQ(run.LastControl(kFlash)->calls.at(3),
              std::string("Invoke 151 language ") + row.index);
    EXPECT_EQ(seen, row.caption);
  }
}

TEST_F(ConfigurationTest, UnknownLanguageAndMissingValuesStillPlay) {
  for (const std::string language : {"1033 ", "01033", "2057", ""}) {
    SCOPED_TRACE("[" + language + "]");
    sim::SimPlatform run;
    run.commandArgs = "/c";
    run.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "language", language);
    std::string seen = "(not seen)";
    run.At(0.5, [&] {
      seen = run.windows().Get(Program::Current().Find<Configuration>()->hWnd())->text;
    });
    run.Run(Main, 1.0);

    const std::vector<std::string> expected = {"Put 102 \\vellomar.lak", "Invoke 151 music ",
                                               "Invoke 151 mouse ", "Invoke 151 routine c",
                                               "Invoke 112"};
    EXPECT_EQ(run.LastControl(kFlash)->calls, expected);
    EXPECT_EQ(seen, "");
  }
}

TEST_F(ConfigurationTest, FailedLoadIsLoggedAndTheDialogStaysOpen) {
  Store("language", "1033");
  sim.controlFailAtCall[kFlash] = 2;  // "mouse"
  ObserveCaption();
  CommandAt(0.6, "setmouse", "3");
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_FALSE(result.exited);
  EXPECT_TRUE(sim.errorReports.empty());
  EXPECT_NE(sim.files["C:\\Saver\\error.log"].find("   The control refused the call: Invoke\r\n"),
            std::string::npos);
  EXPECT_EQ(MovieCalls().size(), 2u);  // the movie and "music" only
  EXPECT_EQ(caption, "");
  ASSERT_TRUE(Stored("mouse"));  // the commands still work
  EXPECT_EQ(Stored("mouse")->bytes, "3");
}

TEST_F(ConfigurationTest, SetMusicStoresTheTextWithoutNul) {
  CommandAt(0.5, "setmusic", "7");
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_FALSE(result.exited);
  ASSERT_TRUE(Stored("music"));
  EXPECT_EQ(Stored("music")->type, win::kRegSz);
  EXPECT_EQ(Stored("music")->bytes, "7");
  EXPECT_FALSE(Stored("mouse"));
}

TEST_F(ConfigurationTest, SetMusicWithEmptyArgsStoresEmptyText) {
  Store("music", "1");
  CommandAt(0.5, "setmusic", "");
  sim.Run(Main, 1.0);

  ASSERT_TRUE(Stored("music"));
  EXPECT_EQ(Stored("music")->bytes, "");
}

TEST_F(ConfigurationTest, EachSetMouseIsStoredAtOnce) {
  CommandAt(0.5, "setmouse", "10");
  sim.At(0.55, [&] {
    ASSERT_TRUE(Stored("mouse"));
    EXPECT_EQ(Stored("mouse")->bytes, "10");
  });
  CommandAt(0.6, "setmouse", "250");
  sim.Run(Main, 1.0);

  ASSERT_TRUE(Stored("mouse"));
  EXPECT_EQ(Stored("mouse")->bytes, "250");
  EXPECT_FALSE(Stored("music"));
}

TEST_F(ConfigurationTest, OtherCommandsChangeNothing) {
  CommandAt(0.5, "SetMusic", "7");
  CommandAt(0.5, "setmusic ", "7");
  CommandAt(0.5, "SETMOUSE", "7");
  CommandAt(0.5, "quit", "");
  CommandAt(0.5, "close", "");
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_FALSE(result.exited);
  EXPECT_FALSE(Stored("music"));
  EXPECT_FALSE(Stored("mouse"));
  for (const std::string& call : sim.calls()) {
    EXPECT_EQ(call.rfind("RegSetValueExA", 0), std::string::npos) << call;
  }
}

TEST_F(ConfigurationTest, AltF4EndsTheProgram) {
  sim.At(0.5, [&] { sim.SysKeyDown(Dialog()->handle, win::kKeyF4); });
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.5);
}

TEST_F(ConfigurationTest, CloseBoxEndsTheProgram) {
  sim.At(0.5, [&] { sim.ClickCloseBox(Dialog()->handle); });
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.5);
  EXPECT_TRUE(sim.errorReports.empty());
}

}  // namespace
}  // namespace vellomar
