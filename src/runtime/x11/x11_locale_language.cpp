#include "runtime/x11/x11_locale_language.h"

#include <string_view>

namespace vellomar::x11 {

namespace {

struct LocaleLanguage {
  std::string_view language;
  const char* identifier;
};
// One row per language of the table; Portuguese and Spanish have one row each (Brazil, Spain).
constexpr LocaleLanguage kLanguages[] = {{"nl", "1043"}, {"en", "1033"}, {"fr", "1036"},
                                         {"de", "1031"}, {"it", "1040"}, {"pt", "1046"},
                                         {"es", "3082"}};

}  // namespace

std::string LanguageIdOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  std::string_view locale;
  for (const char* setting : {lcAll, lcMessages, lang}) {
    if (setting && *setting) {
      locale = setting;
      break;
    }
  }
  const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  for (const LocaleLanguage& row : kLanguages) {
    if (row.language == language) return row.identifier;
  }
  return "1033";
}

}  // namespace vellomar::x11
