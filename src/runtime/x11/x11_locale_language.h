// The language table's identifier (a Windows locale identifier in decimal) for the user's POSIX
// locale, for when no settings file names a language. Plain C++.
#pragma once

#include <string>

namespace vellomar::x11 {

// The first of LC_ALL, LC_MESSAGES and LANG that is set and not empty decides, as for messages;
// its language ("de" of "de_AT.UTF-8") gives the identifier of the table's row in that language,
// and anything else (C, POSIX, a language the table lacks) English, "1033".
std::string LanguageIdOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

}  // namespace vellomar::x11
