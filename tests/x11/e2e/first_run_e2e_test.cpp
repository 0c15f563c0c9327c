// A first run: with no settings file at all the program plays the movie of its data folder in the
// user's language; a movie it cannot read or a missing emulator is said in the program's own words,
// naming the file, on standard error and in the user's error log; the screen stays black and a key
// still ends the run.
#include <filesystem>
#include <fstream>

#include "x11_e2e_support.h"

namespace vellomar::e2e {
namespace {

constexpr auto kStart = 30s;
constexpr auto kEnd = 5s;

TEST(FirstRun, PlaysTheDataFoldersMovieInTheUsersLanguageWithoutSettings) {
  Settings settings;
  settings.RemoveFile();
  Display display;
  Program dialog(settings, {"--config"}, {{"LC_ALL", ""}, {"LC_MESSAGES", ""},
                                          {"LANG", "de_DE.UTF-8"}});
  const Window window = display.WaitForMapped("Konfigurationen vom Screensaver", kStart);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(dialog.WaitForLog("play c", kStart));
  const auto movieSize =
      std::filesystem::file_size(std::string(VELLOMAR_E2E_PROGRAM_DIR) + "/vellomar.lak");
  EXPECT_TRUE(dialog.WaitForLog("load vellomar://player/movie " + std::to_string(movieSize), kEnd));
  EXPECT_TRUE(dialog.WaitForLog("variable language 4", kEnd));
  display.RequestClose(window);
  EXPECT_EQ(dialog.WaitForExit(kEnd), 0);
}

TEST(FirstRun, AMovieOrEmulatorItCannotReadIsSaidAndAKeyStillEnds) {
  namespace fs = std::filesystem;
  for (const bool emulatorMissing : {false, true}) {
    Settings settings;
    const fs::path install = fs::path(settings.home()) / "install";
    fs::create_directories(install);
    const fs::path emulator = fs::path(settings.program()).parent_path() / "player/ruffle/ruffle.js";
    if (emulatorMissing) {
      fs::copy_file(fs::path(VELLOMAR_E2E_PROGRAM_DIR) / "vellomar.lak", install / "vellomar.lak");
      fs::remove(emulator);
    }
    settings.Set("path", install.string());
    const std::string named =
        emulatorMissing ? emulator.string() : (install / "vellomar.lak").string();
    Display display;
    const fs::path state = fs::path(settings.home()) / "state";
    Program saver(settings, {"--fullscreen"}, {{"XDG_STATE_HOME", state.string()}});
    ASSERT_NE(display.WaitForMapped("Screen Saver Main Form", kStart), 0u) << named;
    ASSERT_TRUE(display.WaitForKeyboardGrab(kEnd));
    ASSERT_TRUE(Eventually(
        [&] { return saver.Output().find("vellomar: cannot play the movie") != std::string::npos; },
        kEnd));
    EXPECT_NE(saver.Output().find(named), std::string::npos) << named;
    EXPECT_EQ(display.PixelAt(display.width() / 2, display.height() / 2), 0u);
    std::string logged;
    std::getline(std::ifstream(state / "vellomar/error.log"), logged);
    EXPECT_NE(logged.find(named), std::string::npos) << logged;
    PressKey("x");
    EXPECT_EQ(saver.WaitForExit(kEnd), 0);
  }
}

}  // namespace
}  // namespace vellomar::e2e
