// What every part of the movie agrees on: the stage, the frame rate and the names scripts use.
#pragma once

#include <cstdint>

namespace movie {

constexpr int kStageWidth = 640;  // pixels
constexpr int kStageHeight = 480;
constexpr std::uint8_t kFramesPerSecond = 12;
constexpr std::uint8_t kSwfVersion = 8;

// Export names of the sprites the first frame attaches, one per role, and the music.
inline constexpr const char* kPictureSprite = "picture";
inline constexpr const char* kPreviewSprite = "preview";
inline constexpr const char* kMusicSprite = "music";
inline constexpr const char* kSettingsSprite = "settings";

}  // namespace movie
