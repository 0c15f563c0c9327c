// The language a first run takes from the user's locale.
#include "runtime/x11/x11_locale_language.h"

#include <gtest/gtest.h>

namespace vellomar::x11 {
namespace {

TEST(LocaleLanguage, TheMessagesLocaleChoosesTheTablesRowElseEnglish) {
  EXPECT_EQ(LanguageIdOfLocale(nullptr, nullptr, "de_AT.UTF-8"), "1031");
  EXPECT_EQ(LanguageIdOfLocale(nullptr, "fr_CA", "de_DE.UTF-8"), "1036");
  EXPECT_EQ(LanguageIdOfLocale("it_IT@euro", "fr_CA", "de_DE.UTF-8"), "1040");
  // An empty setting counts as unset.
  EXPECT_EQ(LanguageIdOfLocale("", "", "nl_BE.UTF-8"), "1043");
  EXPECT_EQ(LanguageIdOfLocale(nullptr, nullptr, "pt_PT.UTF-8"), "1046");
  EXPECT_EQ(LanguageIdOfLocale(nullptr, nullptr, "es"), "3082");
  for (const char* other : {"C", "POSIX", "C.UTF-8", "sv_SE.UTF-8", "", "e"}) {
    EXPECT_EQ(LanguageIdOfLocale(nullptr, nullptr, other), "1033") << other;
  }
  EXPECT_EQ(LanguageIdOfLocale(nullptr, nullptr, nullptr), "1033");
}

}  // namespace
}  // namespace vellomar::x11
