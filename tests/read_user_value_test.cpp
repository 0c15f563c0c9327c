#include <gtest/gtest.h>

#include <string>

#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"

namespace vellomar {
namespace {

using win::kHKeyCurrentUser;

constexpr char kDesktop[] = "Control Panel\\Desktop";
constexpr char kFlag[] = "ScreenSaveUsePassword";

class ReadUserValueTest : public ::testing::Test {
 protected:
  std::string Read() { return ReadUserValue(sim, kHKeyCurrentUser, kDesktop, kFlag); }
  std::string ReadStored(std::uint32_t type, const std::string& bytes) {
    sim.registry().SetValue(kHKeyCurrentUser, kDesktop, kFlag, type, bytes);
    return Read();
  }
  std::string ReadDword(std::uint32_t value) {
    sim.registry().SetDword(kHKeyCurrentUser, kDesktop, kFlag, value);
    return Read();
  }
  void TearDown() override { EXPECT_EQ(sim.registry().OpenHandleCount(), 0u); }

  sim::SimPlatform sim;
};

TEST_F(ReadUserValueTest, StringsLoseTheirLastByte) {
  EXPECT_EQ(ReadStored(win::kRegSz, std::string("1\0", 2)), "1");
  EXPECT_EQ(ReadStored(win::kRegSz, "10"), "1");
  EXPECT_EQ(ReadStored(win::kRegSz, std::string(1, '\0')), "");
  EXPECT_EQ(ReadStored(win::kRegSz, std::string("\xE9t\xE9\0", 4)), "\xC3\xA9t\xC3\xA9");
}

TEST_F(ReadUserValueTest, ValueWithNoDataReadsEmpty) {
  EXPECT_EQ(ReadStored(win::kRegSz, ""), "");
  EXPECT_EQ(ReadStored(win::kRegDword, ""), "");
}

TEST_F(ReadUserValueTest, DwordsHaveAtLeastThreeDigits) {
  EXPECT_EQ(ReadDword(0), "000");
  EXPECT_EQ(ReadDword(1), "001");
  EXPECT_EQ(ReadDword(42), "042");
  EXPECT_EQ(ReadDword(999), "999");
  EXPECT_EQ(ReadDword(1000), "1000");
  EXPECT_EQ(ReadDword(0x010203), "66051");
}

TEST_F(ReadUserValueTest, DwordsPassThroughSinglePrecision) {
  EXPECT_EQ(ReadDword(16777215), "16777215");
  EXPECT_EQ(ReadDword(16777217), "16777216");
  EXPECT_EQ(ReadDword(0xFFFFFFFFu), "4294967296");
}

TEST_F(ReadUserValueTest, AbsentValueOrKeyReadsEmpty) {
  EXPECT_EQ(Read(), "");
  sim.registry().SetString(kHKeyCurrentUser, kDesktop, "ScreenSaveActive", "1");
  EXPECT_EQ(Read(), "");
}

TEST_F(ReadUserValueTest, ValuesOver255BytesReadEmpty) {
  const std::string text(254, 'a');
  EXPECT_EQ(ReadStored(win::kRegSz, text + '\0'), text);
  EXPECT_EQ(ReadStored(win::kRegSz, std::string(256, 'a')), "");
}

TEST_F(ReadUserValueTest, ReadsUnderEachPredefinedRootOnly) {
  sim.registry().SetString(win::kHKeyClassesRoot, "k", "v", "1");
  sim.registry().SetString(win::kHKeyDynData, "k", "v", "2");
  EXPECT_EQ(ReadUserValue(sim, win::kHKeyClassesRoot, "k", "v"), "1");
  EXPECT_EQ(ReadUserValue(sim, win::kHKeyDynData, "k", "v"), "2");

  sim.registry().SetString(kHKeyCurrentUser, kDesktop, kFlag, "1");
  HKey open = 0;
  ASSERT_EQ(sim.RegOpenKeyA(kHKeyCurrentUser, "Control Panel", &open), win::kErrorSuccess);
  sim.ClearCalls();
  EXPECT_EQ(ReadUserValue(sim, open, "Desktop", kFlag), "");
  EXPECT_EQ(ReadUserValue(sim, 0, kDesktop, kFlag), "");
  EXPECT_EQ(ReadUserValue(sim, win::kHKeyDynData + 1, kDesktop, kFlag), "");
  EXPECT_EQ(ReadUserValue(sim, 0x7FFFFFFF, kDesktop, kFlag), "");
  EXPECT_TRUE(sim.calls().empty());
  sim.RegCloseKey(open);
}

TEST_F(ReadUserValueTest, OpensForReadingOnly) {
  sim.registry().SetString(kHKeyCurrentUser, kDesktop, kFlag, "1");
  Read();
  ASSERT_FALSE(sim.calls().empty());
  EXPECT_EQ(sim.calls().front(), "RegOpenKeyExA(-2147483647,Control Panel\\Desktop,0,131097)");
}

}  // namespace
}  // namespace vellomar
