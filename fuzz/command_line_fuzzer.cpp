// The switch and the handle number after it: the input is the argument text of the command line.
// Each input is read by LeadingNumber and the rounding routines against a reference reading built
// on strtod, then run as a whole program on the in-memory platform.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/configuration.h"
#include "fuzz_check.h"
#include "runtime/number_text.h"
#include "runtime/platform_constants.h"
#include "runtime/raised_error.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"
#include "startup/main.h"

namespace vellomar {
namespace {

using fuzz::Shown;

constexpr std::size_t kMaxArgs = 4096;
// Long enough for every mode to reach its steady state: the saver's guard opens after 100 ms,
// the preview notices a missing pane on its first 100 ms tick.
constexpr double kRunSeconds = 2.0;

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number as the command line is read, built independently: drop blanks, tabs and line feeds,
// take the longest sign/digits/fraction/exponent prefix, and let strtod convert it.
double ReferenceNumber(std::string_view text) {
  std::string s;
  for (const char c : text) {
    if (!IsSkipped(c)) s += c;
  }
  std::string number;
  std::size_t at = 0;
  if (at < s.size() && (s[at] == '+' || s[at] == '-')) number += s[at++];
  while (at < s.size() && IsDigit(s[at])) number += s[at++];
  if (at < s.size() && s[at] == '.') {
    number += s[at++];
    while (at < s.size() && IsDigit(s[at])) number += s[at++];
  }
  // A sign or a point without a digit is no number.
  if (number.find_first_of("0123456789") == std::string::npos) return 0.0;
  if (at < s.size() && (s[at] == 'e' || s[at] == 'E' || s[at] == 'd' || s[at] == 'D')) {
    std::size_t end = at + 1;
    std::string exponent = "e";
    if (end < s.size() && (s[end] == '+' || s[end] == '-')) exponent += s[end++];
    const std::size_t firstDigit = end;
    while (end < s.size() && IsDigit(s[end])) exponent += s[end++];
    if (end > firstDigit) number += exponent;
  }
  return std::strtod(number.c_str(), nullptr);
}

// Nearest whole number, halves to even (the default rounding mode), when it fits.
template <class Int>
std::optional<Int> ReferenceRound(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double whole = std::nearbyint(value);
  if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
      whole > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(whole);
}

// Numbers too small for a normal double may come out as zero or as a subnormal; both read the
// same for every caller, which rounds them.
bool SameNumber(double a, double b) {
  if (std::fabs(a) < std::numeric_limits<double>::min() &&
      std::fabs(b) < std::numeric_limits<double>::min()) {
    return true;
  }
  return a == b;
}

std::string Detail(std::string_view text, double got, double expected) {
  return Shown(text) + " read as " + std::to_string(got) + ", expected " +
         std::to_string(expected);
}

void CheckRounding(double value) {
  const auto rounded32 = RoundToInt32(value);
  const auto expected32 = ReferenceRound<std::int32_t>(value);
  FUZZ_CHECK(rounded32 == expected32, "RoundToInt32 of " + std::to_string(value));
  FUZZ_CHECK(RoundToInt16(value) == ReferenceRound<std::int16_t>(value),
             "RoundToInt16 of " + std::to_string(value));
  try {
    const std::int32_t checked = CheckedInt32(value);
    FUZZ_CHECK(expected32 && checked == *expected32, "CheckedInt32 of " + std::to_string(value));
  } catch (const RaisedError& error) {
    FUZZ_CHECK(!expected32 && error.number() == kErrOverflow && error.description() == "Overflow",
               "CheckedInt32 raised for " + std::to_string(value));
  }
}

void CheckLeadingNumber(const std::string& text) {
  const double got = LeadingNumber(text);
  const double expected = ReferenceNumber(text);
  FUZZ_CHECK(SameNumber(got, expected), Detail(text, got, expected));
  FUZZ_CHECK(FindLeadingNumber(text).value_or(0.0) == got, Shown(text));
  CheckRounding(got);

  // Blanks, tabs and line feeds count nowhere: inserting one anywhere changes nothing.
  constexpr char kBlanks[] = {' ', '\t', '\n'};
  for (std::size_t k = 0; k < 6; ++k) {
    std::string spaced = text;
    spaced.insert(k * (text.size() + 1) / 6, 1, kBlanks[k % 3]);
    const double again = LeadingNumber(spaced);
    FUZZ_CHECK(SameNumber(again, got), Detail(spaced, again, got));
  }

  // A character that can never continue a number ends it: what follows cannot matter.
  const std::size_t cut = text.size() / 2;
  const std::string prefix = text.substr(0, cut);
  const double cutRead = LeadingNumber(prefix + ":" + text.substr(cut));
  FUZZ_CHECK(SameNumber(cutRead, LeadingNumber(prefix)), Detail(prefix, cutRead, got));

  // A sign in front negates a number that has none of its own.
  std::size_t first = 0;
  while (first < text.size() && IsSkipped(text[first])) ++first;
  if (first == text.size() || (text[first] != '+' && text[first] != '-')) {
    const double negated = LeadingNumber("-" + text);
    FUZZ_CHECK(SameNumber(negated, -got), Detail("-" + text, negated, -got));
    const double plus = LeadingNumber(" +" + text);
    FUZZ_CHECK(SameNumber(plus, got), Detail(" +" + text, plus, got));
  }
}

std::string SwitchOf(const std::string& args) {
  std::string result = args.substr(0, 2);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  }
  return result.empty() ? "/C" : result;
}

void CheckRun(const std::string& args) {
  sim::SimPlatform sim;
  sim.commandArgs = args;
  sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "path", "C:\\Saver");
  std::optional<ProgramValues> values;
  bool dialogOpen = false;
  sim.At(0.0, [&] {
    values = Program::Current().values();
    dialogOpen = Program::Current().Find<Configuration>() != nullptr;
  });
  const sim::RunResult result = sim.Run(Main, kRunSeconds);

  const std::string switchText = SwitchOf(args);
  const bool takesHandle = switchText == "/P" || switchText == "/A";
  const std::optional<std::int32_t> handle =
      takesHandle ? ReferenceRound<std::int32_t>(ReferenceNumber(std::string_view(args).substr(2)))
                  : std::nullopt;

  FUZZ_CHECK(sim.ElapsedSeconds() <= kRunSeconds, Shown(args));
  FUZZ_CHECK(sim.registry().OpenHandleCount() == 0, Shown(args));
  if (takesHandle && !handle) {
    // A handle beyond 32 bits: the overflow report, and nothing opened.
    FUZZ_CHECK(result.exited && result.exitCode == kRuntimeErrorExitCode, Shown(args));
    FUZZ_CHECK(sim.errorReports.size() == 1 && sim.errorReports[0].number == kErrOverflow &&
                   sim.errorReports[0].description == "Overflow",
               Shown(args));
    FUZZ_CHECK(sim.windows().Count() == 0 && sim.passwordChanges.empty(), Shown(args));
    return;
  }
  FUZZ_CHECK(sim.errorReports.empty(),
             Shown(args) + " reported " + std::to_string(sim.errorReports.front().number) + " " +
                 sim.errorReports.front().description);
  FUZZ_CHECK(!result.exited || result.exitCode == 0, Shown(args));

  if (switchText == "/P") {
    FUZZ_CHECK(values.has_value(), Shown(args) + ": the preview form was not loaded");
    FUZZ_CHECK(values->PreviewParent == *handle,
               Shown(args) + " gave " + std::to_string(values->PreviewParent) + ", expected " +
                   std::to_string(*handle));
  } else if (switchText == "/A") {
    const std::vector<std::pair<std::string, Hwnd>> expected = {{"SCRSAVE", *handle}};
    FUZZ_CHECK(result.exited && sim.passwordChanges == expected && sim.windows().Count() == 0,
               Shown(args));
  } else if (switchText == "/C") {
    FUZZ_CHECK(!result.exited && dialogOpen, Shown(args) + ": the settings dialog is not open");
  } else if (switchText == "/S") {
    FUZZ_CHECK(!result.exited, Shown(args) + ": the saver ended without input");
  } else if (switchText != "/F") {
    // Not a switch: the program ends at once without touching the platform.
    FUZZ_CHECK(result.exited && sim.calls().empty() && sim.windows().Count() == 0,
               Shown(args));
  }
}

}  // namespace
}  // namespace vellomar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > vellomar::kMaxArgs) return 0;
  const std::string args(reinterpret_cast<const char*>(data), size);
  vellomar::CheckLeadingNumber(args);
  vellomar::CheckRun(args);
  return 0;
}
