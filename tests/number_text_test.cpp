#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/raised_error.h"

namespace vellomar {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberTextTest, LeadingNumber) {
  const struct {
    const char* text;
    double number;
  } cases[] = {
      {"596", 596},        {"2.5", 2.5},       {".5", 0.5},          {"5.", 5},
      {" 5 96", 596},      {"\t5\n9 6 ", 596}, {"- 1 2", -12},       {"1 e 3", 1000},
      {"5\r96", 5},        {"\r596", 0},       {"596abc", 596},      {"1.2.3", 1.2},
      {"12-3", 12},        {"7,5", 7},         {"", 0},              {":596", 0},
      {".", 0},            {"-", 0},           {"+-5", 0},           {"e5", 0},
      {"&H10", 0},         {" &O17", 0},       {"-596", -596},       {"+596", 596},
      {"-.25", -0.25},     {"1E+3", 1000},     {"25e-1", 2.5},       {"1d3", 1000},
      {"1.5D2x", 150},     {"7e", 7},          {"7e+", 7},           {"7ex3", 7},
      {"1e400", kInf},     {"-1e400", -kInf},  {"1e-400", 0},        {"0.0001e-400", 0},
      {"0e99999", 0},      {"1e99999999999999999999", kInf},         {"12345678901", 12345678901},
  };
  for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(NumberTextTest, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
  const struct {
    double value;
    std::optional<std::int32_t> as32;
    std::optional<std::int16_t> as16;
  } cases[] = {
      {0.5, 0, 0},
      {1.5, 2, 2},
      {2.5, 2, 2},
      {-2.5, -2, -2},
      {-1.5, -2, -2},
      {2.49, 2, 2},
      {-2.51, -3, -3},
      {32767.4, 32767, 32767},
      {32767.5, 32768, std::nullopt},
      {-32768.5, -32768, -32768},
      {-32768.51, -32769, std::nullopt},
      {2147483647.0, 2147483647, std::nullopt},
      {2147483647.5, std::nullopt, std::nullopt},
      {-2147483648.5, -2147483647 - 1, std::nullopt},
      {kInf, std::nullopt, std::nullopt},
      {std::nan(""), std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundToInt32(c.value), c.as32) << c.value;
    EXPECT_EQ(RoundToInt16(c.value), c.as16) << c.value;
  }
}

TEST(NumberTextTest, CheckedRaisesOverflow) {
  EXPECT_EQ(CheckedInt16(14.5), 14);
  EXPECT_EQ(CheckedInt32(-596.5), -596);
  for (double value : {32768.0, -kInf, std::nan("")}) {
    try {
      CheckedInt16(value);
      ADD_FAILURE() << "no overflow for " << value;
    } catch (const RaisedError& error) {
      EXPECT_EQ(error.number(), kErrOverflow);
      EXPECT_EQ(error.description(), "Overflow");
    }
  }
  EXPECT_THROW(CheckedInt32(12345678901.0), RaisedError);
}

}  // namespace
}  // namespace vellomar
