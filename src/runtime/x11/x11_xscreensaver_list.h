// XScreenSaver's list of programs, edited as text. Its preferences are X resources: the value of
// "programs:" runs over many lines, each ending in a backslash that continues it, and holds one
// command per entry, the entries separated by the escape "\n". An entry may start with "-"
// (disabled) and a visual such as "GL:". Plain C++, tested without a display.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellomar::x11 {

// The entry that XScreenSaver runs to draw into its window.
inline constexpr std::string_view kXScreenSaverEntry = "vellomar --root";

struct ProgramsListChange {
  enum class Outcome {
    Added,          // text holds the new preferences
    AlreadyListed,  // an entry runs vellomar, enabled or not
    NoSystemList,   // the preferences hold no programs, and the system's file none either
  };
  Outcome outcome = Outcome::NoSystemList;
  std::string text;
};

// Adds kXScreenSaverEntry last to the programs of preferences (a ~/.xscreensaver file's text,
// empty when there is none), laid out like the entry before it, every other byte kept. Last, so
// that the numbers of the entries already there, which "selected:" refers to, stay. Preferences
// without programs get a programs resource appended that copies the "*programs:" of
// systemDefaults (the text of XScreenSaver's app-defaults file), so no program leaves the list.
ProgramsListChange AddToProgramsList(std::string_view preferences,
                                     std::optional<std::string_view> systemDefaults);

}  // namespace vellomar::x11
