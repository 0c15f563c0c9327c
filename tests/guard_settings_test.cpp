// The guard's numeric settings read from their stored text.
#include "saver/guard_settings.h"

#include <gtest/gtest.h>

namespace vellomar {
namespace {

TEST(GuardSettingsTest, MoveThresholdIsTheRoundedLeadingNumber) {
  EXPECT_EQ(MoveThresholdOf("3"), 3);
  EXPECT_EQ(MoveThresholdOf(" 1 2moves"), 12);
  EXPECT_EQ(MoveThresholdOf("2.5"), 2);
  EXPECT_EQ(MoveThresholdOf("3.5"), 4);
  EXPECT_EQ(MoveThresholdOf(".5"), 0);
  EXPECT_EQ(MoveThresholdOf("0"), 0);
  EXPECT_EQ(MoveThresholdOf("-1"), -1);
  EXPECT_EQ(MoveThresholdOf("-32768"), -32768);
  EXPECT_EQ(MoveThresholdOf("1e1"), 10);
}

TEST(GuardSettingsTest, MoveThresholdWithoutAUsableNumberIsTheDefault) {
  for (const char* text : {"", " ", "abc", "-", ".", "+.", "&H10", "32768", "-32769", "1e9"}) {
    EXPECT_EQ(MoveThresholdOf(text), kDefaultMoveThreshold) << '"' << text << '"';
  }
}

TEST(GuardSettingsTest, UsePasswordIsOnForAnyNonZeroNumber) {
  EXPECT_EQ(UsePasswordOf("1"), 1);
  EXPECT_EQ(UsePasswordOf("001"), 1);
  EXPECT_EQ(UsePasswordOf("000"), 0);
  EXPECT_EQ(UsePasswordOf(""), 0);
  EXPECT_EQ(UsePasswordOf("yes"), 0);
  EXPECT_EQ(UsePasswordOf("0.5"), 0);
  EXPECT_EQ(UsePasswordOf("1.5"), 2);
  EXPECT_NE(UsePasswordOf("99999"), 0);
  EXPECT_NE(UsePasswordOf("-1e10"), 0);
}

}  // namespace
}  // namespace vellomar
