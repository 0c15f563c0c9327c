#include "runtime/x11/x11_switches.h"

#include <cstdlib>

namespace vellomar::x11 {

// A window id as XScreenSaver writes it, 0x hex or decimal (even with leading zeros, which base 0
// would read as octal).
std::optional<unsigned long long> WindowIdOf(const std::string& text) {
  const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
  char* end = nullptr;
  const unsigned long long id = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  return id;
}

bool IsRootSwitch(const std::string& arg) { return arg == "--root" || arg == "-root"; }

std::string TranslateSwitches(const std::vector<std::string>& args) {
  if (args.empty() || args[0] == "--config" || args[0] == "-config") return "/C";
  if (IsRootSwitch(args[0]) || args[0] == "-s" || args[0] == "--fullscreen") {
    return "/S";
  }
  if ((args[0] == "--window-id" || args[0] == "-window-id") && args.size() > 1) {
    // As the decimal the start-up reads; anything else as it is, for the start-up to refuse.
    const auto id = WindowIdOf(args[1]);
    return "/P " + (id ? std::to_string(*id) : args[1]);
  }
  // Windows-style switches ("/s", "/p 1234", "/c:1234") reach the start-up as they are.
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

}  // namespace vellomar::x11
