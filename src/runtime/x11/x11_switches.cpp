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

namespace {

bool IsRootSwitch(const std::string& arg) { return arg == "--root" || arg == "-root"; }

// The text after --window-id, wherever it stands: a settings app's preview pane runs
// "--root --window-id ID".
std::optional<std::string> WindowIdArgument(const std::vector<std::string>& args) {
  for (std::size_t at = 0; at + 1 < args.size(); ++at) {
    if (args[at] == "--window-id" || args[at] == "-window-id") return args[at + 1];
  }
  return std::nullopt;
}

}  // namespace

bool IsRootRole(const std::vector<std::string>& args) {
  return !args.empty() && IsRootSwitch(args[0]) && !WindowIdArgument(args);
}

bool IsStandaloneFullScreen(const std::vector<std::string>& args) {
  const std::string role = TranslateSwitches(args).substr(0, 2);
  return (role == "/S" || role == "/s") && !IsRootRole(args);
}

std::string TranslateSwitches(const std::vector<std::string>& args) {
  if (const auto window = WindowIdArgument(args)) {
    // As the decimal the start-up reads; anything else as it is, for the start-up to refuse.
    const auto id = WindowIdOf(*window);
    return "/P " + (id ? std::to_string(*id) : *window);
  }
  if (args.empty() || args[0] == "--config" || args[0] == "-config") return "/C";
  if (IsRootSwitch(args[0]) || args[0] == "-s" || args[0] == "--fullscreen") {
    return "/S";
  }
  // Windows-style switches ("/s", "/p 1234", "/c:1234") reach the start-up as they are.
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

}  // namespace vellomar::x11
