// The input guard: its load, the key, click and mouse exit rules and the password check.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "saver_test_support.h"

namespace vellomar {
namespace {

class InputGuardTest : public SaverRun {
 protected:
  std::size_t IndexOf(const std::string& call) {
    const auto& calls = sim.calls();
    return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
  }
};

TEST_F(InputGuardTest, LoadMakesTheGuardTransparentTopMostAndHidesTheCursor) {
  sim.cursorCount = -8;  // already hidden: one more step all the same
  Hwnd guard = 0;
  CheckAt(1.0, [&] {
    guard = Guard();
    const sim::SimWindow& window = *sim.windows().Get(guard);
    EXPECT_EQ(window.exStyle, 0x20);
    EXPECT_TRUE(window.topmost);
    EXPECT_EQ(sim.windows().ZOrder().front(), guard);
    EXPECT_EQ(sim.cursorCount, -9);
  });
  KeyAt(2.0, 65);
  ExpectEnded(Run());

  const std::string g = std::to_string(guard);
  const std::vector<std::size_t> order{
      IndexOf("SetWindowPos(" + g + ",-2,0,0,0,0,35)"),
      IndexOf("SetWindowLongA(" + g + ",-20,32)"), IndexOf("SetWindowPos(" + g + ",-1,0,0,0,0,3)"),
      IndexOf("GetVersionExA(148)"), IndexOf("ShowCursor(0)")};
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_LT(order.back(), sim.calls().size());
  EXPECT_EQ(Calls("ShowCursor(0)"), 1);
  EXPECT_EQ(sim.cursorCount, 6);
}

// A key other than Space, or a click, ends the saver at once when no password is asked.
class InputCloseTest : public InputGuardTest, public ::testing::WithParamInterface<int> {};

TEST_P(InputCloseTest, ClosesTheGuardAndEndsTheProgram) {
  if (GetParam() == -1) {
    ClickAt(1.0);
  } else if (GetParam() == -2) {
    sim.At(1.0, [this] { sim.SysKeyDown(Guard(), win::kKeyMenu); });
  } else {
    KeyAt(1.0, static_cast<std::int16_t>(GetParam()));
  }
  ExpectEnded(Run());
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 1.0);
  EXPECT_EQ(sim.cursorCount, 6);
  EXPECT_EQ(Calls("SystemParametersInfoA(97,1,0)"), 0);
  EXPECT_TRUE(sim.passwordDialogOwners.empty());
  EXPECT_TRUE(sim.LastControl(kFlash)->destroyed);
}

INSTANTIATE_TEST_SUITE_P(KeysAndClick, InputCloseTest,
                         ::testing::Values(65, 16 /* Shift alone */, -1 /* click */,
                                           -2 /* Alt alone, a system key */));

struct MoveCase {
  const char* name;
  std::optional<std::string> mouse;
  double firstClock;            // the clock at the first move
  std::vector<double> offsets;  // seconds after the first move
  bool closes;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class MouseThresholdTest : public InputGuardTest,
                           public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MouseThresholdTest, ClosesOnlyWhenTheCountEqualsTheThreshold) {
  const MoveCase& c = GetParam();
  if (c.mouse) Setting("mouse", *c.mouse);
  sim.SetClock(2024, 5, 1, std::fmod(c.firstClock - 1.0 + 86400.0, 86400.0));
  for (double offset : c.offsets) MoveAt(1.0 + offset);
  const sim::RunResult result = Run();

  EXPECT_EQ(result.exited, c.closes);
  if (c.closes) {
    EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 1.0 + c.offsets.back());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MouseThresholdTest,
    ::testing::Values(
        MoveCase{"FirstMoveAtOne", "1", 1000.0, {0}, true},
        MoveCase{"LateMoveComparedBeforeTheWindowCheck", "3", 1000.0, {0, 5.0, 10.6}, true},
        MoveCase{"ExactlyTenSecondsLaterIsStillInTheWindow", "3", 1000.0, {0, 10.0, 10.5}, true},
        MoveCase{"WindowExpiresAndCountsAfresh", "3", 1000.0, {0, 11.0, 12.0}, false},
        // 1000.5 opens the window at 1000, so 1010.8 expires it.
        MoveCase{"HalfRoundsDownToEven", "3", 1000.5, {0, 10.3, 10.5}, false},
        // 1001.5 opens the window at 1002, so 1011.8 does not expire it.
        MoveCase{"HalfRoundsUpToEven", "3", 1001.5, {0, 10.3, 10.4}, true},
        MoveCase{"AcrossMidnightTheWindowNeverExpires", "3", 86399.0, {0, 6.0, 21.0}, true},
        // Rounded to 0 it opens no window; the second move opens one at 20.
        MoveCase{"FirstMoveJustAfterMidnightOpensNoWindow", "3", 0.3, {0, 19.7, 20.7}, true},
        MoveCase{"MissingMeansFiveNotFour", std::nullopt, 1000.0, {0, 1, 2, 3}, false},
        MoveCase{"MissingMeansFive", std::nullopt, 1000.0, {0, 1, 2, 3, 4}, true},
        MoveCase{"TooLargeMeansFive", "70000", 1000.0, {0, 1, 2, 3, 4}, true}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

TEST_F(InputGuardTest, ThresholdZeroIsReachedThroughTheSixteenBitWrap) {
  Setting("mouse", "0");
  MoveAt(1.0, 65535);
  CheckAt(1.5, [this] {
    EXPECT_NE(Guard(), 0);
    EXPECT_EQ(MoveCount(), -1);
  });
  MoveAt(2.0);
  ExpectEnded(Run());
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 2.0);
}

// Each close path asks for the password; a refusal keeps everything as it was.
class RefusedCloseTest : public InputGuardTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedCloseTest, KeepsTheSaverRunningWithTheCursorHidden) {
  const std::string path = GetParam();
  PasswordOn();
  Refuse();
  Setting("mouse", "1");
  if (path == "key") KeyAt(1.0, 65);
  if (path == "click") ClickAt(1.0);
  if (path == "mouse") MoveAt(1.0);
  if (path == "purchase") KeyAt(1.0, win::kKeySpace);  // its timer asks at 2.0, then 3.0
  CheckAt(2.5, [this] {
    EXPECT_NE(Guard(), 0);
    EXPECT_EQ(sim.passwordDialogOwners, std::vector<Hwnd>{Guard()});
    EXPECT_EQ(sim.cursorCount, -6);
    EXPECT_TRUE(sim.screenSaverRunning);
    EXPECT_EQ(Calls("SystemParametersInfoA(97,0,0)"), 0);
  });
  KeyAt(3.5, 65);
  ExpectEnded(Run());

  EXPECT_EQ(sim.passwordDialogOwners.size(), 2u);
  EXPECT_EQ(sim.cursorCount, 7);
  EXPECT_FALSE(sim.screenSaverRunning);
}

INSTANTIATE_TEST_SUITE_P(Paths, RefusedCloseTest,
                         ::testing::Values("key", "click", "mouse", "purchase"));

TEST_F(InputGuardTest, MovesPastARefusedThresholdDoNotCloseUntilTheWindowResets) {
  PasswordOn();
  sim.passwordAnswers.push_back({0x10000, 0});  // only the low 16 bits count: a refusal
  Setting("mouse", "2");
  for (double at : {1.0, 2.0, 3.0, 4.0}) MoveAt(at);
  CheckAt(4.5, [this] {
    EXPECT_EQ(MoveCount(), 4);
    EXPECT_EQ(sim.passwordDialogOwners.size(), 1u);
  });
  for (double at : {12.0, 13.0, 14.0}) MoveAt(at);  // 12.0 expires the window opened at 1.0
  ExpectEnded(Run());

  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 14.0);
  EXPECT_EQ(sim.passwordDialogOwners.size(), 2u);
}

TEST_F(InputGuardTest, ACloseRequestedWhileThePasswordDialogIsOpenIsIgnored) {
  PasswordOn();
  Refuse(3.0);  // the purchase page's first request, at 2.0, keeps the dialog open until 5.0
  KeyAt(1.0, win::kKeySpace);
  KeyAt(3.5, 65);
  CheckAt(4.5, [this] {
    EXPECT_NE(Guard(), 0);
    EXPECT_EQ(sim.passwordDialogOwners.size(), 1u);
    EXPECT_EQ(sim.cursorCount, 6);
  });
  ExpectEnded(Run());

  // Refused at 5.0; the next tick, at 6.0, asks again and is accepted.
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 6.0);
  EXPECT_EQ(sim.passwordDialogOwners.size(), 2u);
  EXPECT_EQ(sim.cursorCount, 7);
}

TEST_F(InputGuardTest, WithoutAPasswordVerifierTheCloseGoesOn) {
  PasswordOn();
  sim.hasPasswordServices = false;
  KeyAt(1.0, 65);
  ExpectEnded(Run());
  EXPECT_EQ(Calls("SystemParametersInfoA(97,1,0)"), 1);
  EXPECT_EQ(Calls("SystemParametersInfoA(97,0,0)"), 1);
  EXPECT_EQ(sim.cursorCount, 7);
}

struct PasswordCase {
  const char* name;
  std::uint32_t platformId;
  std::optional<std::string> flag;
  bool asks;
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class PasswordRuleTest : public InputGuardTest,
                         public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordRuleTest, AsksOnlyOnTheConsumerLineWithThePasswordOn) {
  const PasswordCase& c = GetParam();
  if (c.flag) PasswordOn(*c.flag);
  sim.platformId = c.platformId;
  KeyAt(1.0, 65);
  ExpectEnded(Run());

  const long notices = c.asks ? 1 : 0;
  EXPECT_EQ(sim.passwordDialogOwners.size(), static_cast<std::size_t>(notices));
  EXPECT_EQ(Calls("SystemParametersInfoA(97,1,0)"), notices);
  EXPECT_EQ(Calls("SystemParametersInfoA(97,0,0)"), notices);
  EXPECT_EQ(sim.cursorCount, c.asks ? 7 : 6);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, PasswordRuleTest,
    ::testing::Values(PasswordCase{"ConsumerOn", 1, "1", true},
                      PasswordCase{"ConsumerTooLargeCountsAsOn", 1, "70000", true},
                      PasswordCase{"ConsumerOff", 1, "0", false},
                      PasswordCase{"ConsumerMissing", 1, std::nullopt, false},
                      PasswordCase{"NtLineOn", 2, "1", false}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace vellomar
