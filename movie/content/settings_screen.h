// The settings screen: a sprite with its texts, the music switch and the six mouse choices.
// The first frame's script fills in the texts and the current values; the buttons' own actions
// change them and send the commands.
#pragma once

#include <array>
#include <string_view>

#include "content/library.h"

namespace movie {

// Variables of the screen's timeline: the texts its fields show...
inline constexpr const char* kTitleVariable = "title";
inline constexpr const char* kMusicLabelVariable = "musicLabel";
inline constexpr const char* kMusicStateVariable = "musicState";
inline constexpr const char* kMouseLabelVariable = "mouseLabel";
inline constexpr const char* kNeverVariable = "never";
// ...the words for the two music states, and the state itself, "1" or "0".
inline constexpr const char* kOnTextVariable = "onText";
inline constexpr const char* kOffTextVariable = "offText";
inline constexpr const char* kMusicVariable = "musicOn";
// Instances: the switch's light, shown while music is on, and the chosen sensitivity's mark.
inline constexpr const char* kLampInstance = "lamp";
inline constexpr const char* kMarkInstance = "mark";

struct MouseChoice {
  std::string_view value;  // sent with "setmouse"
  int left;                // pixels
};
inline constexpr int kChoiceWidth = 85;
inline constexpr std::array<MouseChoice, 6> kMouseChoices = {{
    {"1", 40}, {"3", 135}, {"5", 230}, {"10", 325}, {"25", 420}, {"32767", 515},
}};

void DefineSettingsScreen(Library& library);

}  // namespace movie
