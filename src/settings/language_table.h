// The seven languages the program speaks, keyed by the locale identifier stored at installation.
#pragma once

#include <string_view>

namespace vellomar {

struct LanguageRow {
  std::string_view identifier;     // locale identifier in decimal, e.g. "1033"
  std::string_view movieIndex;     // "1" to "7", handed to the movie
  std::string_view dialogCaption;  // caption of the settings dialog
  std::string_view flashNotice;    // text of the notice that the Flash Player is needed
};

// The row whose identifier equals the text exactly, or null.
const LanguageRow* LookUpLanguage(std::string_view identifier);

}  // namespace vellomar
