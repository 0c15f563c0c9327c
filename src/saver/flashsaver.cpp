#include "saver/flashsaver.h"

#include <string>

#include "movie/movie_file.h"
#include "runtime/number_text.h"
#include "runtime/platform_constants.h"
#include "saver/full_screen_design.h"
#include "saver/main_form.h"
#include "settings/language_table.h"
#include "settings/registry.h"
#include "system/log_error.h"

namespace vellomar {

namespace {

constexpr std::uint32_t kGuardDelayMs = 100;
// Where the designer left the control; the load stretches it over the screen.
constexpr Placement kFlashDesignPlacement{0, 0, 4800, 3600};

}  // namespace

Flashsaver::Flashsaver(Program& program)
    : Form(program, FullScreenDesign("Form1")),
      Flash(*this, hWnd(), kFlashDesignPlacement, MovieMenu::On),
      Timer1(*this, kGuardDelayMs, false, [this] { Timer1Tick(); }) {}

void Flashsaver::Load() {
  Platform& platform = program().platform();
  Guarded(platform, [&] {
    platform.SetWindowPos(hWnd(), win::kHwndTopmost, 0, 0, 0, 0,
                          win::kSwpNoSize | win::kSwpNoMove);
    const std::string path =
        RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "path");
    const ScreenObject screen = program().Screen();
    Flash.SetLeft(0);
    Flash.SetTop(0);
    Flash.SetWidth(CheckedInt32(screen.Width));
    Flash.SetHeight(CheckedInt32(screen.Height));
    Flash.SetMovie(MovieFile(path, platform.ExeName()));
    Flash.SetVariable("music",
                      RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "music"));
    const LanguageRow* language = LookUpLanguage(
        RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "language"));
    if (language != nullptr) Flash.SetVariable("language", std::string(language->movieIndex));
    Flash.SetVariable("routine", "s");
    Flash.Play();
  });
  // Armed even when the set-up failed: the guard it opens is the only way to end the saver.
  Timer1.SetEnabled(true);
}

void Flashsaver::Timer1Tick() {
  program().Load<MainForm>();
  program().Show<MainForm>();
  Timer1.SetEnabled(false);
}

}  // namespace vellomar
