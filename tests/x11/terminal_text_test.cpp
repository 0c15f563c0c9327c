// What the page writes reaches standard error as one harmless line.
#include "runtime/x11/x11_terminal_text.h"

#include <gtest/gtest.h>

namespace vellomar::x11 {
namespace {

TEST(TerminalText, ControlsAndBackslashesBecomeEscapesAndTextStays) {
  EXPECT_EQ(OneTerminalLine("Loading SWF file movie"), "Loading SWF file movie");
  EXPECT_EQ(OneTerminalLine("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(OneTerminalLine("a\nvellomar: forged"), "a\\x0avellomar: forged");
  EXPECT_EQ(OneTerminalLine("\x1b]0;title\x07\x1b[31m"), "\\x1b]0;title\\x07\\x1b[31m");
  EXPECT_EQ(OneTerminalLine(std::string("\0\x7f\\", 3)), "\\x00\\x7f\\x5c");
  // C1 controls, as UTF-8: U+009B is a CSI to some terminals.
  EXPECT_EQ(OneTerminalLine("\xC2\x9B" "2J \xC2\xA0"), "\\u009b2J \xC2\xA0");
  EXPECT_EQ(OneTerminalLine("\xC2"), "\xC2");
}

}  // namespace
}  // namespace vellomar::x11
