#include "settings/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"

namespace vellomar {
namespace {

using win::kHKeyLocalMachine;

class RegistryTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& name) {
    return RegistryReadValue(sim, kHKeyLocalMachine, kSettingsKey, name);
  }
  std::string ReadStored(std::uint32_t type, const std::string& bytes) {
    sim.registry().SetValue(kHKeyLocalMachine, kSettingsKey, "v", type, bytes);
    return Read("v");
  }
  void Write(const std::string& name, const std::string& value) {
    RegistryWriteString(sim, kHKeyLocalMachine, kSettingsKey, name, value);
  }
  std::string Stored(const std::string& name) {
    const auto value = sim.registry().Value(kHKeyLocalMachine, kSettingsKey, name);
    EXPECT_TRUE(value && value->type == win::kRegSz) << name;
    return value ? value->bytes : "<none>";
  }
  void TearDown() override { EXPECT_EQ(sim.registry().OpenHandleCount(), 0u); }

  sim::SimPlatform sim;
};

TEST_F(RegistryTest, ReadsStringsUpToTheirFirstNul) {
  EXPECT_EQ(ReadStored(win::kRegSz, std::string("1033\0", 5)), "1033");
  EXPECT_EQ(ReadStored(win::kRegSz, "1033"), "1033");
  EXPECT_EQ(ReadStored(win::kRegSz, std::string("C:\\Saver\0junk\0", 14)), "C:\\Saver");
  EXPECT_EQ(ReadStored(win::kRegSz, std::string(1, '\0')), "");
  EXPECT_EQ(ReadStored(win::kRegSz, ""), "");
  const std::string longFolder = "C:\\" + std::string(600, 'x');
  EXPECT_EQ(ReadStored(win::kRegSz, longFolder), longFolder);
}

TEST_F(RegistryTest, ValuesOfOtherTypesReadEmpty) {
  EXPECT_EQ(ReadStored(win::kRegExpandSz, std::string("C:\\Saver\0", 9)), "");
  EXPECT_EQ(ReadStored(win::kRegMultiSz, std::string("7\0\0", 3)), "");
  EXPECT_EQ(ReadStored(win::kRegBinary, "5"), "");
  sim.registry().SetDword(kHKeyLocalMachine, kSettingsKey, "language", 1033);
  EXPECT_EQ(Read("language"), "");
}

TEST_F(RegistryTest, MissingKeyOrValueReadsEmpty) {
  EXPECT_EQ(Read("path"), "");
  sim.registry().SetString(win::kHKeyCurrentUser, kSettingsKey, "path", "C:\\Saver");
  EXPECT_EQ(Read("path"), "");
  sim.registry().SetString(kHKeyLocalMachine, kSettingsKey, "music", "1");
  EXPECT_EQ(Read("path"), "");
}

TEST_F(RegistryTest, ConvertsKeyNameAndDataFromAnsi) {
  sim.registry().SetString(kHKeyLocalMachine, "SOFTWARE\\Caf\xE9", "n\xE9", "C:\\\xC9t\xE9");
  EXPECT_EQ(RegistryReadValue(sim, kHKeyLocalMachine, "SOFTWARE\\Caf\xC3\xA9", "n\xC3\xA9"),
            "C:\\\xC3\x89t\xC3\xA9");
}

TEST_F(RegistryTest, WritesAnsiBytesWithoutNul) {
  Write("music", "7");
  EXPECT_EQ(Stored("music"), "7");
  EXPECT_EQ(Read("music"), "7");
  Write("music", "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(Stored("music"), "caf\xE9 \x80");
  EXPECT_EQ(Read("music"), "caf\xC3\xA9 \xE2\x82\xAC");
  Write("music", "");
  EXPECT_EQ(Stored("music"), "");
}

TEST_F(RegistryTest, WriteCreatesTheKeyWithItsMissingParents) {
  ASSERT_FALSE(sim.registry().KeyExists(kHKeyLocalMachine, "SOFTWARE\\Starloom"));
  Write("mouse", "5");
  EXPECT_TRUE(sim.registry().KeyExists(kHKeyLocalMachine, "SOFTWARE\\Starloom"));
  EXPECT_EQ(Stored("mouse"), "5");
}

TEST_F(RegistryTest, WriteReplacesOnlyItsValue) {
  sim.registry().SetString(kHKeyLocalMachine, kSettingsKey, "path", "C:\\Saver");
  sim.registry().SetString(kHKeyLocalMachine, kSettingsKey, "mouse", "10");
  Write("mouse", "3");
  EXPECT_EQ(Stored("mouse"), "3");
  EXPECT_EQ(Read("path"), "C:\\Saver");
}

TEST_F(RegistryTest, RefusedWriteChangesNothingAndRaisesNothing) {
  sim.registry().machineReadOnly = true;
  Write("music", "7");
  EXPECT_FALSE(sim.registry().KeyExists(kHKeyLocalMachine, kSettingsKey));

  sim.registry().machineReadOnly = false;
  sim.registry().SetString(kHKeyLocalMachine, kSettingsKey, "music", "1");
  sim.registry().machineReadOnly = true;
  Write("music", "7");
  EXPECT_EQ(Read("music"), "1");
}

}  // namespace
}  // namespace vellomar
