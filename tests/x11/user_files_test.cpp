// Where the Linux program keeps the user's files: the XDG folders under an absolute HOME, and an
// error log that stays bounded.
#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/x11/x11_error_log.h"
#include "runtime/x11/x11_user_folders.h"

namespace vellomar::x11 {
namespace {

namespace fs = std::filesystem;

class UserFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "user-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    for (const char* name : {"HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME"}) {
      const char* value = std::getenv(name);
      saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    fs::remove_all(root);
  }
  std::string root;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(UserFilesTest, RelativeHomeAndXdgFoldersAreIgnored) {
  const std::string own = ::getpwuid(::getuid())->pw_dir;
  ::setenv("HOME", "relative/home", 1);
  EXPECT_EQ(HomeFolder(), own);
  ::unsetenv("HOME");
  EXPECT_EQ(HomeFolder(), own);
  ::setenv("HOME", root.c_str(), 1);
  EXPECT_EQ(HomeFolder(), root);
  ::setenv("XDG_STATE_HOME", "state", 1);
  EXPECT_EQ(XdgFolder("XDG_STATE_HOME", ".local/state"), root + "/.local/state");
  EXPECT_EQ(ErrorLogFile(), root + "/.local/state/vellomar/error.log");
  ::setenv("XDG_STATE_HOME", (root + "/state").c_str(), 1);
  EXPECT_EQ(ErrorLogFile(), root + "/state/vellomar/error.log");
}

TEST_F(UserFilesTest, TheLogsFolderIsMadePrivateAndAFullLogIsKeptOnceAsANewOneBegins) {
  const std::string log = root + "/state/vellomar/error.log";
  PrepareErrorLog(log, 8);
  struct stat folder {};
  ASSERT_EQ(::stat((root + "/state/vellomar").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  EXPECT_EQ(::stat((root + "/state").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  std::ofstream(log) << "12345678";
  PrepareErrorLog(log, 8);
  EXPECT_TRUE(fs::exists(log)) << "a log at its limit is kept";
  std::ofstream(log, std::ios::app) << "9";
  std::ofstream(log + ".1") << "older";
  PrepareErrorLog(log, 8);
  EXPECT_FALSE(fs::exists(log));
  std::string kept;
  std::getline(std::ifstream(log + ".1"), kept);
  EXPECT_EQ(kept, "123456789");
}

}  // namespace
}  // namespace vellomar::x11
