#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/configuration.h"
#include "notice/flash_form.h"
#include "preview/control_form.h"
#include "runtime/platform_constants.h"
#include "runtime/raised_error.h"
#include "runtime/sim/sim_platform.h"
#include "saver/bakform.h"
#include "startup/main.h"
#include "system/platform_facts.h"

namespace vellomar {
namespace {

enum class Opened { None, Configuration, Backdrop, Preview, Notice };

// One start of the program: what Main left loaded, seen by the first event after it.
struct StartupRun {
  explicit StartupRun(const std::string& args, double twipsX = 15.0, double twipsY = 15.0) {
    sim.commandArgs = args;
    sim.screen.twipsPerPixelX = twipsX;
    sim.screen.twipsPerPixelY = twipsY;
    sim.At(0.0, [this] { Observe(Program::Current()); });
    result = sim.Run(Main, 1.0);
  }

  void Observe(Program& program) {
    observed = true;
    const Form* form = nullptr;
    int loaded = 0;
    auto note = [&](const Form* candidate, Opened kind) {
      if (!candidate) return;
      ++loaded;
      form = candidate;
      opened = kind;
    };
    note(program.Find<Configuration>(), Opened::Configuration);
    note(program.Find<bakform>(), Opened::Backdrop);
    note(program.Find<ControlForm>(), Opened::Preview);
    note(program.Find<FlashForm>(), Opened::Notice);
    if (loaded != 1) opened = Opened::None;
    const sim::SimWindow* window = form ? sim.windows().Get(form->hWnd()) : nullptr;
    visible = window != nullptr && window->visible;
    values = program.values();
  }

  bool EndedAtOnce() {
    return result.exited && result.exitCode == 0 && !observed && sim.errorReports.empty() &&
           sim.windows().Count() == 0;
  }

  void ExpectOverflowWithNoWindow() {
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, kRuntimeErrorExitCode);
    ASSERT_EQ(sim.errorReports.size(), 1u);
    EXPECT_EQ(sim.errorReports[0].number, kErrOverflow);
    EXPECT_EQ(sim.errorReports[0].description, "Overflow");
    EXPECT_FALSE(observed);
    EXPECT_EQ(sim.windows().Count(), 0u);
  }

  sim::SimPlatform sim;
  sim::RunResult result;
  bool observed = false;
  Opened opened = Opened::None;
  bool visible = false;
  ProgramValues values;
};

TEST(StartupTest, SwitchPicksTheWindowSetByItsFirstTwoCharacters) {
  const struct {
    const char* args;
    Opened opened;
    bool visible;
  } cases[] = {
      {"", Opened::Configuration, true},   {"/c", Opened::Configuration, true},
      {"/C", Opened::Configuration, true}, {"/c:596", Opened::Configuration, true},
      {"/c 596", Opened::Configuration, true}, {"/s", Opened::Backdrop, true},
      {"/S", Opened::Backdrop, true},      {"/sX", Opened::Backdrop, true},
      {"/s 596", Opened::Backdrop, true},  {"/p 596", Opened::Preview, false},
      {"/P", Opened::Preview, false},      {"/f", Opened::Notice, true},
      {"/F", Opened::Notice, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    StartupRun run(c.args);
    ASSERT_TRUE(run.observed);
    EXPECT_EQ(run.opened, c.opened);
    EXPECT_EQ(run.visible, c.visible);
  }
}

TEST(StartupTest, UnknownSwitchesOpenNothingAndTouchNothing) {
  for (const char* args : {"-s", "s", "/x", "/", " /s", "/\xC3\xA9"}) {
    SCOPED_TRACE(args);
    StartupRun run(args);
    EXPECT_TRUE(run.EndedAtOnce());
    EXPECT_TRUE(run.sim.calls().empty());
  }
}

TEST(StartupTest, SaverOpensNothingWhileAGuardWindowExists) {
  StartupRun first("/s");
  EXPECT_EQ(first.sim.calls().front(), "FindWindowA(null,Screen Saver Main Form)");

  sim::SimPlatform sim;
  sim.CreateForeignWindow(kGuardCaption, 1024, 768);
  sim.commandArgs = "/s";
  const sim::RunResult result = sim.Run(Main, 1.0);
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(sim.windows().Count(), 1u);
  EXPECT_EQ(sim.calls(), std::vector<std::string>{"FindWindowA(null,Screen Saver Main Form)"});
}

TEST(StartupTest, PreviewParentIsTheNumberAfterTheSwitch) {
  const struct {
    const char* args;
    Hwnd parent;
  } cases[] = {
      {"/p 596", 596}, {"/p596", 596},   {"/p 5 96", 596}, {"/p 596abc", 596},
      {"/p:596", 0},   {"/p", 0},        {"/p -7", -7},    {"/p 2.5", 2},
      {"/p 3.5", 4},   {"/p 6e2", 600},  {"/p &H254", 0},  {"/p 2147483647", 2147483647},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    StartupRun run(c.args);
    ASSERT_TRUE(run.observed);
    EXPECT_EQ(run.opened, Opened::Preview);
    EXPECT_EQ(run.values.PreviewParent, c.parent);
  }
}

TEST(StartupTest, HandleBeyond32BitsEndsWithOverflowAndNoWindow) {
  for (const char* args : {"/p 12345678901", "/p 2147483648", "/a 99999999999"}) {
    SCOPED_TRACE(args);
    StartupRun run(args);
    run.ExpectOverflowWithNoWindow();
    EXPECT_TRUE(run.sim.passwordChanges.empty());
  }
}

TEST(StartupTest, PasswordSwitchShowsTheChangeDialogAndEnds) {
  StartupRun run("/a 596");
  EXPECT_TRUE(run.EndedAtOnce());
  EXPECT_EQ(run.sim.calls(), std::vector<std::string>{"PwdChangePasswordA(SCRSAVE,596,0,0)"});

  StartupRun bare("/A");
  EXPECT_EQ(bare.sim.calls(), std::vector<std::string>{"PwdChangePasswordA(SCRSAVE,0,0,0)"});
}

TEST(StartupTest, TwipsPerPixelAreRoundedHalfToEven) {
  StartupRun usual("/c");
  EXPECT_EQ(usual.values.TwipsPerPixelX, 15);
  EXPECT_EQ(usual.values.TwipsPerPixelY, 15);
  StartupRun halves("/c", 14.5, 12.5);
  EXPECT_EQ(halves.values.TwipsPerPixelX, 14);
  EXPECT_EQ(halves.values.TwipsPerPixelY, 12);
  StartupRun("/c", 15.0, 40000.0).ExpectOverflowWithNoWindow();
}

class PlatformFactsTest : public ::testing::Test {
 protected:
  sim::SimPlatform sim;
};

TEST_F(PlatformFactsTest, FirstInstanceUnlessAWindowHasTheCaption) {
  sim.CreateForeignWindow("Other", 10, 10);
  EXPECT_EQ(IsFirstInstance(sim, kGuardCaption), kTrue);
  sim.CreateForeignWindow("screen saver MAIN form", 10, 10);
  EXPECT_EQ(IsFirstInstance(sim, kGuardCaption), kFalse);
}

TEST_F(PlatformFactsTest, CaptionIsLookedUpInAnsi) {
  sim.CreateForeignWindow("Caf\xC3\xA9", 10, 10);
  EXPECT_EQ(IsFirstInstance(sim, "Caf\xC3\xA9"), kFalse);
  EXPECT_EQ(sim.calls().back(), "FindWindowA(null,Caf\xE9)");
}

TEST_F(PlatformFactsTest, PlatformIdComesFromTheVersionRecord) {
  Program program(sim);
  sim.platformId = win::kVerPlatformWin32Windows;
  GetPlatformId(program);
  EXPECT_EQ(program.values().PlatformId, 1);
  EXPECT_EQ(sim.calls().back(), "GetVersionExA(148)");

  program.values().VersionInfo.dwOSVersionInfoSize = 0;
  sim.platformId = win::kVerPlatformWin32Nt;
  GetPlatformId(program);
  EXPECT_EQ(program.values().PlatformId, 2);
}

TEST_F(PlatformFactsTest, FailedVersionCallKeepsWhatTheRecordHeld) {
  Program program(sim);
  sim.versionCallFails = true;
  GetPlatformId(program);
  EXPECT_EQ(program.values().PlatformId, 0);

  sim.versionCallFails = false;
  sim.platformId = win::kVerPlatformWin32Windows;
  GetPlatformId(program);
  sim.versionCallFails = true;
  sim.platformId = win::kVerPlatformWin32Nt;
  GetPlatformId(program);
  EXPECT_EQ(program.values().PlatformId, 1);
}

}  // namespace
}  // namespace vellomar
