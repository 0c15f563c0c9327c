// The settings screen's words in the seven languages, by the movie's language index.
#pragma once

#include <array>
#include <string_view>

namespace movie {

struct SettingsTexts {
  std::string_view languageIndex;  // "1" to "7"
  std::string_view title, music, on, off, mouse, never;
};

extern const std::array<SettingsTexts, 7> kSettingsTexts;

// English: for "2", for no language and for anything unknown.
const SettingsTexts& DefaultSettingsTexts();

}  // namespace movie
