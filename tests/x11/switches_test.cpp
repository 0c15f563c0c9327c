// The XScreenSaver switches reach the start-up as the Windows switches it reads.
#include "runtime/x11/x11_switches.h"

#include <gtest/gtest.h>

namespace vellomar::x11 {
namespace {

TEST(LinuxSwitches, EachRoleAsItsWindowsSwitch) {
  EXPECT_EQ(TranslateSwitches({}), "/C");
  EXPECT_EQ(TranslateSwitches({"--config"}), "/C");
  EXPECT_EQ(TranslateSwitches({"--fullscreen"}), "/S");
  EXPECT_EQ(TranslateSwitches({"-s"}), "/S");
  EXPECT_EQ(TranslateSwitches({"--root"}), "/S");
  EXPECT_EQ(TranslateSwitches({"--window-id", "0x1a00007"}), "/P 27262983");
  EXPECT_EQ(TranslateSwitches({"--window-id", "27262983"}), "/P 27262983");
  // Leading zeros are still decimal, not octal.
  EXPECT_EQ(TranslateSwitches({"--window-id", "0010"}), "/P 10");
  // Not a number: left for the start-up, which reads no handle from it.
  EXPECT_EQ(TranslateSwitches({"--window-id", "pane"}), "/P pane");
  // The settings app's preview pane: the preview role wins over --root.
  EXPECT_EQ(TranslateSwitches({"--root", "--window-id", "0x1a00007"}), "/P 27262983");
  EXPECT_TRUE(IsRootRole({"--root"}));
  EXPECT_FALSE(IsRootRole({"--root", "--window-id", "0x1a00007"}));
  EXPECT_FALSE(IsRootRole({"--fullscreen"}));
  EXPECT_TRUE(IsStandaloneFullScreen({"--fullscreen"}));
  EXPECT_TRUE(IsStandaloneFullScreen({"/s"}));
  EXPECT_FALSE(IsStandaloneFullScreen({"--root"}));
  EXPECT_FALSE(IsStandaloneFullScreen({"/c"}));
  EXPECT_EQ(TranslateSwitches({"/p", "1234"}), "/p 1234");
  EXPECT_EQ(TranslateSwitches({"/c:1234"}), "/c:1234");
}

}  // namespace
}  // namespace vellomar::x11
