#include "settings/language_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace vellomar {
namespace {

// Characters, not bytes: UTF-8 continuation bytes do not start a character.
std::size_t CodePoints(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

struct Expected {
  const char* identifier;
  const char* movieIndex;
  const char* caption;
  std::size_t noticeLength;
};

constexpr Expected kRows[] = {
    {"1043", "1", "Configuratie van de Screensaver", 206},
    {"1033", "2", "Screensaver Configurations", 196},
    {"1036", "3", "Les configurations de Screensaver", 209},
    {"1031", "4", "Konfigurationen vom Screensaver", 216},
    {"1040", "5", "Le configurazioni dello Screensaver", 215},
    {"1046", "6", "As configura\xC3\xA7\xC3\xB5" "es do Screensaver", 186},
    {"3082", "7", "Las configuraciones del Screensaver", 197},
};

TEST(LanguageTableTest, EachIdentifierGivesItsRow) {
  for (const Expected& expected : kRows) {
    SCOPED_TRACE(expected.identifier);
    const LanguageRow* row = LookUpLanguage(expected.identifier);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->identifier, expected.identifier);
    EXPECT_EQ(row->movieIndex, expected.movieIndex);
    EXPECT_EQ(row->dialogCaption, expected.caption);
    EXPECT_EQ(CodePoints(row->flashNotice), expected.noticeLength);
  }
  EXPECT_NE(LookUpLanguage("1036")->flashNotice.find("S'il vous pla\xC3\xAEt \"Yes\""),
            std::string_view::npos);
}

TEST(LanguageTableTest, EnglishRowIsComplete) {
  const LanguageRow* row = LookUpLanguage("1033");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->flashNotice,
            "This screensaver requires the latest version of the Flash Player.  The Flash Player "
            "will now be installed into your computer.  Please click \"Yes\" when you are "
            "prompted to install the Flash Player.");
}

TEST(LanguageTableTest, OnlyTheExactTextMatches) {
  // 1034 is Spanish with the traditional sort, 2070 Portuguese of Portugal.
  for (const char* text : {"", " 1033", "1033 ", "01033", "409", "en-US", "1033.0", "1034",
                           "2070"}) {
    EXPECT_EQ(LookUpLanguage(text), nullptr) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace vellomar
