#include "saver/guard_settings.h"

#include <optional>
#include <string>

#include "runtime/number_text.h"
#include "runtime/program_values.h"

namespace vellomar {

namespace {

// Whether LeadingNumber finds a number at all, rather than giving 0 for none: after the
// characters it skips and an optional sign, a digit, or a point and a digit.
bool HasLeadingNumber(std::string_view text) {
  std::string squeezed;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') squeezed += c;
  }
  std::size_t at = 0;
  if (at < squeezed.size() && (squeezed[at] == '+' || squeezed[at] == '-')) ++at;
  if (at < squeezed.size() && squeezed[at] == '.') ++at;
  return at < squeezed.size() && squeezed[at] >= '0' && squeezed[at] <= '9';
}

}  // namespace

std::int16_t MoveThresholdOf(std::string_view text) {
  if (!HasLeadingNumber(text)) return kDefaultMoveThreshold;
  return RoundToInt16(LeadingNumber(text)).value_or(kDefaultMoveThreshold);
}

std::int16_t UsePasswordOf(std::string_view text) {
  return RoundToInt16(LeadingNumber(text)).value_or(kTrue);
}

}  // namespace vellomar
