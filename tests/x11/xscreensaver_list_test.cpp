#include "runtime/x11/x11_xscreensaver_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/x11/x11_xscreensaver_preferences.h"

namespace vellomar::x11 {
namespace {

using Outcome = ProgramsListChange::Outcome;
// Whether the report's line holds the part, shown with the line when it does not.
::testing::AssertionResult Says(const std::string& line, const std::string& part) {
  if (line.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << '"' << line << "\" does not say \"" << part << '"';
}
namespace fs = std::filesystem;

// Debian 12's /etc/X11/app-defaults/XScreenSaver (6.06), trimmed to a few entries. Its last
// entry has no continuation.
const std::string kAppDefaults =
    "*errorFont:  sans-serif bold 18\n"
    "*errorColor: #FF0000\n"
    "\n"
    "! This is the list of installed screen saver modes.  See \"man xscreensaver\"\n"
    "! for the syntax used here.\n"
    "\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\n"
    "\n"
    "\n"
    "*hacks.antinspect.name:     Ant Inspect\n";

// Our entry laid out as XScreenSaver lays out its own, without the continuation.
const std::string kOurs = "\t\t\t\tvellomar --root\t\t\t\t    \\n";

// The system's list as a user's resource, with our entry last.
const std::string kCopiedList =
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\\\n" +
    kOurs + "\n";

// ~/.xscreensaver as XScreenSaver's settings program writes it, trimmed: every entry continued,
// and a blank line ending the list.
const std::string kHeader =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for u on Tue Dec  8 11:49:33 2026.\n"
    "# https://www.jwz.org/xscreensaver/\n"
    "\n"
    "timeout:\t0:11:00\n"
    "mode:\t\trandom\n"
    "selected:\t-1\n"
    "textProgram:\tfortune\n"
    "\n";
const std::string kListStart =
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\\\n";
const std::string kTrailer = "\n\npointerHysteresis:  10\nauthWarningSlack:   20\n";
const std::string kWritten = kHeader + kListStart + kTrailer;

TEST(XScreenSaverList, AddsOneEntryLastLaidOutLikeTheOneBeforeAndKeepsEveryOtherByte) {
  struct Case {
    std::string before, after;
  };
  const Case cases[] = {
      {kWritten, kHeader + kListStart + kOurs + "\\\n" + kTrailer},
      // The last entry ends the value.
      {"programs:\t\\\n\t\t\t\tmaze --root\t\t\t\t    \\n\nmode:\t\trandom\n",
       "programs:\t\\\n\t\t\t\tmaze --root\t\t\t\t    \\n\\\n" + kOurs + "\nmode:\t\trandom\n"},
      // Last in the file, laid out with spaces, its continuation running into the end.
      {"programs: \\\n  maze -root \\n\\\n",
       "programs: \\\n  maze -root \\n\\\n  vellomar --root \\n\\\n"},
      {"programs: \\\n  maze -root \\n\\", "programs: \\\n  maze -root \\n\\\n  vellomar --root \\n\\"},
      // One entry on the name's line, without a separator.
      {"programs: maze -root\nmode: random\n",
       "programs: maze -root\\n\\\n          vellomar --root \\n\nmode: random\n"},
      // Empty lists.
      {"mode: one\nprograms:\n", "mode: one\nprograms:\\\n" + kOurs + "\n"},
      {"programs:\t\t\\\n\nmode: random\n", "programs:\t\t\\\n" + kOurs + "\\\n\nmode: random\n"},
      // A later programs resource overrides an earlier one; a continued line names none.
      {"programs: maze\nprograms: \\\n  xlyap \\n\\\n\ntextProgram: \\\nprograms: fortune\n",
       "programs: maze\nprograms: \\\n  xlyap \\n\\\n  vellomar --root \\n\\\n\n"
       "textProgram: \\\nprograms: fortune\n"},
  };
  for (const Case& test : cases) {
    const ProgramsListChange change = AddToProgramsList(test.before, kAppDefaults);
    EXPECT_EQ(change.outcome, Outcome::Added) << test.before;
    EXPECT_EQ(change.text, test.after) << test.before;
    EXPECT_EQ(AddToProgramsList(change.text, kAppDefaults).outcome, Outcome::AlreadyListed)
        << change.text;
  }
}

TEST(XScreenSaverList, AnEntryRunningVellomarCountsWhetherDisabledOrOnAVisualOrByPath) {
  const std::string listed[] = {
      "-\t\t\t\tvellomar --root\t\t\t\t    \\n\\\n",
      "- GL: \t\t\t\tvellomar --root\t\t\t    \\n\\\n",
      "GL:vellomar\\n\\\n",
      "\t\t\t\t/usr/libexec/xscreensaver/vellomar --root  \\n\\\n",
      "\t\tmaze --root \\n  -  default-n: vellomar \\n\\\n",
  };
  for (const std::string& entry : listed) {
    EXPECT_EQ(AddToProgramsList(kHeader + kListStart + entry + kTrailer, kAppDefaults).outcome,
              Outcome::AlreadyListed)
        << entry;
  }
  const std::string others[] = {
      "\t\t\t\tvellomarx --root\t\t\t    \\n\\\n",
      "\t\t\t\tmaze --root vellomar\t\t\t    \\n\\\n",
      "\t\t\t\t/usr/lib/vellomar/maze --root\t\t\t    \\n\\\n",
  };
  for (const std::string& entry : others) {
    EXPECT_EQ(AddToProgramsList(kHeader + kListStart + entry + kTrailer, kAppDefaults).outcome,
              Outcome::Added)
        << entry;
  }
  // Only the programs resource counts.
  const std::string elsewhere =
      "! vellomar --root \\n\\\ntextProgram:\tvellomar --root\n" + kListStart + kTrailer;
  EXPECT_EQ(AddToProgramsList(elsewhere, kAppDefaults).outcome, Outcome::Added);
}

TEST(XScreenSaverList, PreferencesWithoutProgramsGetTheSystemListAndOurEntryAppended) {
  EXPECT_EQ(AddToProgramsList("", kAppDefaults).text, kCopiedList);
  EXPECT_EQ(AddToProgramsList(kHeader, kAppDefaults).text, kHeader + "\n" + kCopiedList);
  EXPECT_EQ(AddToProgramsList("mode: one", kAppDefaults).text, "mode: one\n\n" + kCopiedList);

  EXPECT_EQ(AddToProgramsList(kHeader, std::nullopt).outcome, Outcome::NoSystemList);
  EXPECT_EQ(AddToProgramsList(kHeader, "*errorFont:  sans-serif bold 18\n").outcome,
            Outcome::NoSystemList);
  EXPECT_EQ(AddToProgramsList(kWritten, std::nullopt).outcome, Outcome::Added);
  EXPECT_EQ(AddToProgramsList("", "*programs: vellomar --root\n").outcome, Outcome::AlreadyListed);
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void PutFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class AddToXScreenSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "xscreensaver-home-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    home = pattern;
    preferences = home + "/.xscreensaver";
    appDefaults = home + "/XScreenSaver";
    PutFile(appDefaults, kAppDefaults);
  }
  void TearDown() override { fs::remove_all(home); }
  std::vector<std::string> EntriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  std::string home, preferences, appDefaults;
};

TEST_F(AddToXScreenSaverTest, CreatesTheFileFromTheSystemListThenFindsItThere) {
  const CommandReport created = AddToXScreenSaver(home, appDefaults);
  EXPECT_TRUE(created.succeeded);
  EXPECT_TRUE(Says(created.line, "created " + preferences));
  EXPECT_EQ(FileBytes(preferences), kCopiedList);

  const CommandReport again = AddToXScreenSaver(home, appDefaults);
  EXPECT_TRUE(again.succeeded);
  EXPECT_TRUE(Says(again.line, preferences + " already lists vellomar"));
  EXPECT_EQ(FileBytes(preferences), kCopiedList);
}

TEST_F(AddToXScreenSaverTest, ChangesTheFileALinkLeadsToKeepingItsModeAndTheLink) {
  fs::create_directory(home + "/dotfiles");
  const std::string target = home + "/dotfiles/xscreensaver";
  PutFile(target, kWritten);
  fs::permissions(target, fs::perms(0640));
  fs::create_symlink("dotfiles/xscreensaver", preferences);

  const CommandReport added = AddToXScreenSaver(home, appDefaults);
  EXPECT_TRUE(added.succeeded);
  EXPECT_TRUE(Says(added.line, "added \"vellomar --root\" to the programs of " + preferences));
  EXPECT_TRUE(fs::is_symlink(preferences));
  EXPECT_EQ(FileBytes(target), kHeader + kListStart + kOurs + "\\\n" + kTrailer);
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  EXPECT_EQ(EntriesOf(home + "/dotfiles"), std::vector<std::string>{"xscreensaver"});
}

TEST_F(AddToXScreenSaverTest, FailsWithAReasonAndChangesNothing) {
  fs::remove(appDefaults);
  const CommandReport notInstalled = AddToXScreenSaver(home, appDefaults);
  EXPECT_FALSE(notInstalled.succeeded);
  EXPECT_TRUE(Says(notInstalled.line, "XScreenSaver seems not to be installed (" + appDefaults));
  EXPECT_TRUE(Says(notInstalled.line, preferences + " was not created"));
  EXPECT_FALSE(fs::exists(preferences));

  PutFile(preferences, kHeader);
  const CommandReport withoutList = AddToXScreenSaver(home, appDefaults);
  EXPECT_FALSE(withoutList.succeeded);
  EXPECT_TRUE(Says(withoutList.line, preferences + " is left as it was"));
  EXPECT_EQ(FileBytes(preferences), kHeader);

  fs::remove(preferences);
  fs::create_directory(preferences);
  const CommandReport unreadable = AddToXScreenSaver(home, appDefaults);
  EXPECT_FALSE(unreadable.succeeded);
  EXPECT_TRUE(Says(unreadable.line, "cannot read " + preferences));
  EXPECT_TRUE(fs::is_directory(preferences));

  EXPECT_FALSE(AddToXScreenSaver(home + "/missing", appDefaults).succeeded);
  EXPECT_FALSE(fs::exists(home + "/missing"));
}

}  // namespace
}  // namespace vellomar::x11
