// Text from the page, made safe to write as one line of the program's standard error. Plain C++.
#pragma once

#include <string>
#include <string_view>

namespace vellomar::x11 {

// Control characters (C0, DEL and, as UTF-8, C1) and the backslash written as \xHH or \u00HH
// escapes: a line cannot move the cursor, set a terminal's title or forge a line of our own.
std::string OneTerminalLine(std::string_view text);

}  // namespace vellomar::x11
