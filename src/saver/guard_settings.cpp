#include "saver/guard_settings.h"

#include <optional>

#include "runtime/number_text.h"
#include "runtime/program_values.h"

namespace vellomar {

std::int16_t MoveThresholdOf(std::string_view text) {
  const std::optional<double> number = FindLeadingNumber(text);
  if (!number) return kDefaultMoveThreshold;
  return RoundToInt16(*number).value_or(kDefaultMoveThreshold);
}

std::int16_t UsePasswordOf(std::string_view text) {
  return RoundToInt16(LeadingNumber(text)).value_or(kTrue);
}

}  // namespace vellomar
