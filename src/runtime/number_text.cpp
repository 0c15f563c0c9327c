#include "runtime/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "runtime/raised_error.h"

namespace vellomar {

namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the characters that are skipped wherever they stand.
std::string Squeezed(std::string_view text) {
  std::string squeezed;
  squeezed.reserve(text.size());
  for (char c : text) {
    if (!IsSkipped(c)) squeezed += c;
  }
  return squeezed;
}

// The decimal order of magnitude of a number outside the double range: positive for one too
// large, otherwise too small. The exponent is saturated so that absurd ones cannot wrap.
long long OrderOfMagnitude(std::string_view mantissa, std::string_view exponent) {
  long long order = 0;
  bool seenPoint = false;
  bool seenSignificant = false;
  for (char c : mantissa) {
    if (c == '.') {
      seenPoint = true;
    } else if (c != '0' || seenSignificant) {
      seenSignificant = true;
      if (!seenPoint) ++order;
    } else if (seenPoint) {
      --order;
    }
  }
  long long power = 0;
  const bool negative = !exponent.empty() && exponent.front() == '-';
  for (char c : exponent) {
    if (IsDigit(c) && power < 1'000'000'000) power = power * 10 + (c - '0');
  }
  return order + (negative ? -power : power);
}

template <class Int>
std::optional<Int> RoundTo(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double whole = std::floor(value);
  const double rest = value - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
      whole > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(whole);
}

template <class Int>
Int Checked(double value) {
  if (const auto rounded = RoundTo<Int>(value)) return *rounded;
  throw RaisedError(kErrOverflow, "Overflow");
}

}  // namespace

double LeadingNumber(std::string_view text) { return FindLeadingNumber(text).value_or(0.0); }

std::optional<double> FindLeadingNumber(std::string_view text) {
  const std::string s = Squeezed(text);
  std::size_t at = 0;
  bool negative = false;
  if (at < s.size() && (s[at] == '+' || s[at] == '-')) negative = s[at++] == '-';

  // The mantissa: digits with at most one point; a lone point is no number.
  std::string mantissa;
  bool anyDigit = false;
  bool seenPoint = false;
  for (; at < s.size(); ++at) {
    if (IsDigit(s[at])) {
      anyDigit = true;
    } else if (s[at] == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
    mantissa += s[at];
  }
  if (!anyDigit) return std::nullopt;

  // The exponent counts only when at least one digit follows its letter and sign.
  std::string exponent;
  if (at < s.size() && (s[at] == 'E' || s[at] == 'e' || s[at] == 'D' || s[at] == 'd')) {
    std::size_t digitsAt = at + 1;
    std::string sign;
    if (digitsAt < s.size() && (s[digitsAt] == '+' || s[digitsAt] == '-')) {
      sign = s[digitsAt++];
    }
    std::size_t end = digitsAt;
    while (end < s.size() && IsDigit(s[end])) ++end;
    if (end > digitsAt) exponent = sign + s.substr(digitsAt, end - digitsAt);
  }

  const std::string canonical = exponent.empty() ? mantissa : mantissa + 'e' + exponent;
  double magnitude = 0.0;
  const auto read =
      std::from_chars(canonical.data(), canonical.data() + canonical.size(), magnitude);
  if (read.ec == std::errc::result_out_of_range) {
    magnitude = OrderOfMagnitude(mantissa, exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
  }
  return negative ? -magnitude : magnitude;
}

std::optional<std::int16_t> RoundToInt16(double value) { return RoundTo<std::int16_t>(value); }
std::optional<std::int32_t> RoundToInt32(double value) { return RoundTo<std::int32_t>(value); }

std::int16_t CheckedInt16(double value) { return Checked<std::int16_t>(value); }
std::int32_t CheckedInt32(double value) { return Checked<std::int32_t>(value); }

}  // namespace vellomar
