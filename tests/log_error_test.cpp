#include "system/log_error.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "runtime/platform_constants.h"
#include "runtime/raised_error.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"

namespace vellomar {
namespace {

constexpr char kLog[] = "C:\\Saver\\error.log";
constexpr char kStamp[] = "2024-03-05 13:04:05";

class LogErrorTest : public ::testing::Test {
 protected:
  LogErrorTest() {
    sim.SetClock(2024, 3, 5, 13 * 3600 + 4 * 60 + 5);
    SetPath("C:\\Saver");
  }
  void SetPath(const std::string& ansiPath) {
    sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "path", ansiPath);
  }
  void TearDown() override { EXPECT_EQ(sim.registry().OpenHandleCount(), 0u); }

  sim::SimPlatform sim;
};

TEST_F(LogErrorTest, FirstCallCreatesTheFileWithOneLine) {
  LogError(sim, "Cannot create object");
  ASSERT_EQ(sim.files.count(kLog), 1u);
  EXPECT_EQ(sim.files[kLog], std::string(kStamp) + "   Cannot create object\r\n");
}

TEST_F(LogErrorTest, AppendsToTheEndOfAnExistingFile) {
  sim.files[kLog] = "earlier line\r\n";
  LogError(sim, "Automation error");
  EXPECT_EQ(sim.files[kLog], std::string("earlier line\r\n") + kStamp + "   Automation error\r\n");
}

TEST_F(LogErrorTest, LinesFollowInOrderEvenWithAnEmptyDescription) {
  LogError(sim, "first");
  sim.SetClock(2024, 3, 5, 13 * 3600 + 4 * 60 + 6);
  LogError(sim, "");
  EXPECT_EQ(sim.files[kLog], std::string(kStamp) + "   first\r\n2024-03-05 13:04:06   \r\n");
}

TEST_F(LogErrorTest, MissingPathWritesToTheRootOfTheDrive) {
  sim::SimPlatform bare;
  bare.SetClock(2024, 3, 5, 13 * 3600 + 4 * 60 + 5);
  LogError(bare, "no path");
  EXPECT_EQ(bare.files["\\error.log"], std::string(kStamp) + "   no path\r\n");
}

TEST_F(LogErrorTest, EmptyPathWritesToTheRootOfTheDrive) {
  sim.registry().SetValue(win::kHKeyLocalMachine, kSettingsKey, "path", win::kRegSz,
                          std::string(1, '\0'));
  LogError(sim, "empty path");
  EXPECT_EQ(sim.files["\\error.log"], std::string(kStamp) + "   empty path\r\n");
}

TEST_F(LogErrorTest, LineThatCannotBeWrittenIsLostQuietly) {
  SetPath("D:\\Gone");
  EXPECT_NO_THROW(LogError(sim, "lost"));
  SetPath("C:\\Saver");
  sim.appendsFail = true;
  EXPECT_NO_THROW(LogError(sim, "lost"));
  EXPECT_TRUE(sim.files.empty());
}

TEST_F(LogErrorTest, WritesTheLineAndFileNameInAnsi) {
  SetPath("C:\\Donn\xE9" "es");
  sim.folders.insert("C:\\Donn\xE9" "es");
  LogError(sim, "\xC3\x89" "chec \xE2\x82\xAC");
  EXPECT_EQ(sim.files["C:\\Donn\xE9" "es\\error.log"],
            std::string(kStamp) + "   \xC9" "chec \x80\r\n");
}

class GuardedTest : public LogErrorTest {};

TEST_F(GuardedTest, RaisedErrorIsLoggedAndTheRemainingStepsAreSkipped) {
  const auto failingStep = [] {
    throw RaisedError(kErrCannotCreateObject, "ActiveX component can't create object");
  };
  int done = 0;
  Guarded(sim, [&] {
    ++done;
    failingStep();
    ++done;
  });
  EXPECT_EQ(done, 1);
  EXPECT_EQ(sim.files[kLog],
            std::string(kStamp) + "   ActiveX component can't create object\r\n");
}

TEST_F(GuardedTest, StepsThatSucceedLogNothing) {
  bool ran = false;
  Guarded(sim, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(sim.files.empty());
}

TEST_F(GuardedTest, OtherExceptionsPassThrough) {
  EXPECT_THROW(Guarded(sim, [] { throw std::logic_error("bug"); }), std::logic_error);
  EXPECT_TRUE(sim.files.empty());
}

}  // namespace
}  // namespace vellomar
