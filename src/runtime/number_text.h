// Reading numbers out of text, and rounding them to the program's integer widths.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellomar {

// The leading decimal number of a text: blanks, tabs and line feeds are skipped wherever they
// stand; then an optional sign, digits, an optional fraction and an optional exponent. The first
// character that cannot continue the number ends it. No number at all gives 0, and so does a
// radix prefix (an ampersand).
double LeadingNumber(std::string_view text);
// As above, but empty when the text has no number at all.
std::optional<double> FindLeadingNumber(std::string_view text);

// Rounded to the nearest whole number, halves to the even neighbour; empty when the result does
// not fit.
std::optional<std::int16_t> RoundToInt16(double value);
std::optional<std::int32_t> RoundToInt32(double value);

// As above, but a value that does not fit raises the runtime's overflow error.
std::int16_t CheckedInt16(double value);
std::int32_t CheckedInt32(double value);

}  // namespace vellomar
