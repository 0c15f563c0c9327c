// Hostile settings and movie commands: missing keys, values of the wrong type or of 64 KiB,
// commands with 1 MiB or embedded NULs, a read-only settings key and a missing install folder.
// None may crash, hang, lock the user in or lose a stored value.
#include <gtest/gtest.h>

#include <string>

#include "movie/flash_control.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"
#include "startup/main.h"
#include "system/platform_facts.h"
#include "config/configuration.h"

namespace vellomar {
namespace {

using sim::RegValue;

class FaultTest : public ::testing::Test {
 protected:
  void Store(const std::string& name, std::uint32_t type, const std::string& bytes) {
    sim.registry().SetValue(win::kHKeyLocalMachine, kSettingsKey, name, type, bytes);
  }
  std::optional<RegValue> Stored(const std::string& name) {
    return sim.registry().Value(win::kHKeyLocalMachine, kSettingsKey, name);
  }
  sim::SimControl& Movie() { return *sim.LastControl(kFlashProgId); }
  Hwnd Guard() { return sim.windows().FindByText(kGuardCaption); }

  // A full-screen run that a few mouse moves and then a key must end.
  void ExpectSaverEndsByInput(int moves) {
    sim.commandArgs = "/s";
    sim.At(1.0, [this, moves] {
      for (int i = 0; i < moves; ++i) sim.MouseMove(Guard());
    });
    sim.At(2.0, [this] { sim.KeyDown(Guard(), 65); });
    const auto result = sim.Run(Main, 60.0);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(sim.errorReports.empty());
    EXPECT_EQ(sim.cursorCount, 6);
  }

  void CommandAt(double at, const std::string& command, const std::string& args) {
    sim.At(at, [=, this] { sim.FireControlEvent(Movie(), kDispFsCommand, {command, args}); });
  }

  sim::SimPlatform sim;
};

TEST_F(FaultTest, SaverWithoutAnySettingsKeyStillStartsAndEnds) {
  ExpectSaverEndsByInput(0);
  EXPECT_EQ(Movie().calls[4], "Put 102 \\vellomar.lak");
  EXPECT_EQ(Movie().calls[5], "Invoke 151 music ");
  EXPECT_EQ(Movie().calls[6], "Invoke 151 routine s");
  EXPECT_EQ(sim.registry().OpenHandleCount(), 0u);
}

TEST_F(FaultTest, MissingThresholdStandsForFiveMoves) {
  sim.commandArgs = "/s";
  sim.At(1.0, [this] {
    for (int i = 0; i < 5; ++i) sim.MouseMove(Guard());
  });
  const auto result = sim.Run(Main, 60.0);
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(sim.ElapsedSeconds(), 1.0);
}

TEST_F(FaultTest, ValuesOfTheWrongTypeReadAsMissing) {
  Store("path", win::kRegDword, std::string("\x01\x02\x03\x04", 4));
  Store("music", win::kRegExpandSz, std::string("loud\0", 5));
  Store("language", win::kRegMultiSz, std::string("1033\0\0", 6));
  Store("mouse", win::kRegBinary, std::string("\x01", 1));
  sim.registry().SetValue(win::kHKeyCurrentUser, "Control Panel\\Desktop",
                          "ScreenSaveUsePassword", win::kRegBinary, std::string("\x01", 1));
  ExpectSaverEndsByInput(2);
  EXPECT_EQ(Movie().calls[4], "Put 102 \\vellomar.lak");
  EXPECT_EQ(Movie().calls[5], "Invoke 151 music ");
  EXPECT_EQ(Movie().calls[6], "Invoke 151 routine s");
}

TEST_F(FaultTest, SixtyFourKibibyteValuesDoNotStopTheSaver) {
  const std::string huge(64 * 1024, '7');
  Store("path", win::kRegSz, "C:\\" + huge);
  Store("music", win::kRegSz, huge);
  Store("language", win::kRegSz, huge);
  // Far outside 16 bits: the default threshold of five moves holds.
  Store("mouse", win::kRegSz, huge);
  sim.platformId = 1;
  sim.registry().SetValue(win::kHKeyCurrentUser, "Control Panel\\Desktop",
                          "ScreenSaveUsePassword", win::kRegSz, huge);
  sim.commandArgs = "/s";
  sim.At(1.0, [this] {
    for (int i = 0; i < 5; ++i) sim.MouseMove(Guard());
  });
  const auto result = sim.Run(Main, 60.0);
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(sim.ElapsedSeconds(), 1.0);
  EXPECT_EQ(Movie().calls[4], "Put 102 C:\\" + huge + "\\vellomar.lak");
  // Too large for the desktop reader: no password is asked for.
  EXPECT_TRUE(sim.passwordDialogOwners.empty());
}

TEST_F(FaultTest, HugeAndNulBearingCommandsAreStoredExactlyAndLoseNothingElse) {
  Store("mouse", win::kRegSz, "3");
  const std::string mebibyte(1024 * 1024, 'x');
  const std::string withNul("7\0 8", 4);
  sim.commandArgs = "/c";
  CommandAt(1.0, "setmusic", mebibyte);
  CommandAt(2.0, "setmusic", withNul);
  CommandAt(3.0, std::string("setmouse\0x", 10), "9");
  sim.At(4.0, [this, &withNul] {
    ASSERT_TRUE(Stored("music"));
    EXPECT_EQ(Stored("music")->bytes, withNul);
    EXPECT_EQ(RegistryReadValue(sim, win::kHKeyLocalMachine, kSettingsKey, "music"), "7");
    EXPECT_EQ(Stored("mouse")->bytes, "3\0");
  });
  sim.At(1.5, [this, &mebibyte] {
    ASSERT_TRUE(Stored("music"));
    EXPECT_EQ(Stored("music")->bytes, mebibyte);
  });
  const auto result = sim.Run(Main, 10.0);
  EXPECT_FALSE(result.exited);  // the dialog is still open for the user to close
  EXPECT_TRUE(sim.errorReports.empty());
}

TEST_F(FaultTest, ReadOnlySettingsKeyKeepsTheStoredValues) {
  Store("music", win::kRegSz, std::string("soft\0", 5));
  sim.registry().machineReadOnly = true;
  sim.commandArgs = "/c";
  CommandAt(1.0, "setmusic", "loud");
  CommandAt(1.0, "setmouse", "2");
  sim.At(2.0, [this] { sim.ClickCloseBox(Program::Current().Find<Configuration>()->hWnd()); });
  const auto result = sim.Run(Main, 10.0);
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(Stored("music")->bytes, std::string("soft\0", 5));
  EXPECT_FALSE(Stored("mouse"));
  EXPECT_EQ(sim.registry().OpenHandleCount(), 0u);
}

TEST_F(FaultTest, MissingInstallFolderLosesTheLogLineButNotTheSaver) {
  Store("path", win::kRegSz, std::string("D:\\Gone\0", 8));
  sim.controlFailAtCall[kFlashProgId] = 4;  // the movie cannot be loaded
  ExpectSaverEndsByInput(0);
  EXPECT_TRUE(sim.files.empty());
}

}  // namespace
}  // namespace vellomar
