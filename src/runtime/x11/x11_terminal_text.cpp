#include "runtime/x11/x11_terminal_text.h"

#include <cstdio>

namespace vellomar::x11 {

std::string OneTerminalLine(std::string_view text) {
  std::string line;
  char escape[8];
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0u;
    if (byte < 0x20 || byte == 0x7F || byte == '\\') {
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      line += escape;
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      std::snprintf(escape, sizeof escape, "\\u%04x", next);
      line += escape;
      ++at;
    } else {
      line += static_cast<char>(byte);
    }
  }
  return line;
}

}  // namespace vellomar::x11
