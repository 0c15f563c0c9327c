#include "config/configuration.h"

#include "movie/movie_file.h"
#include "runtime/platform_constants.h"
#include "settings/language_table.h"
#include "settings/registry.h"
#include "system/log_error.h"

namespace vellomar {

namespace {

constexpr Placement kFlashPlacement{240, 120, 6735, 5295};

}  // namespace

Configuration::Configuration(Program& program)
    : Form(program, DialogDesign(7260, 5550, 0x00000000)),
      Flash(*this, hWnd(), kFlashPlacement, MovieMenu::Off,
            [this](const std::string& command, const std::string& args) {
              FlashFSCommand(command, args);
            }) {}

void Configuration::Load() {
  Platform& platform = program().platform();
  Guarded(platform, [&] {
    auto read = [&](const std::string& name) {
      return RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, name);
    };
    const std::string language = read("language");
    const std::string music = read("music");
    const std::string mouse = read("mouse");
    const std::string path = read("path");
    Flash.SetMovie(MovieFile(path, platform.ExeName()));
    Flash.SetVariable("music", music);
    Flash.SetVariable("mouse", mouse);
    if (const LanguageRow* row = LookUpLanguage(language)) {
      Flash.SetVariable("language", std::string(row->movieIndex));
      SetCaption(std::string(row->dialogCaption));
    }
    Flash.SetVariable("routine", "c");
    Flash.Play();
  });
}

void Configuration::FlashFSCommand(const std::string& command, const std::string& args) {
  Platform& platform = program().platform();
  Guarded(platform, [&] {
    if (command == "setmusic") {
      RegistryWriteString(platform, win::kHKeyLocalMachine, kSettingsKey, "music", args);
    } else if (command == "setmouse") {
      RegistryWriteString(platform, win::kHKeyLocalMachine, kSettingsKey, "mouse", args);
    }
  });
}

}  // namespace vellomar
