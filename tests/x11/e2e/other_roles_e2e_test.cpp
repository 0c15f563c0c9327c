// The roles besides the full screen: the settings dialog shows at its designed size with the
// stored settings, clicks on the movie store them exactly, and a close ends the program; the
// preview fills a window of another program and ends when that window goes; the runtime's error
// report takes the keyboard and ends the program once dismissed; the Flash Player notice keeps its
// designed size and its button ends the program. The settings screen and the preview play our movie
// in the real emulator once; the stand-in player shows what the page hands the movie and sends the
// movie's commands.
#include <algorithm>

#include "x11_e2e_support.h"

namespace vellomar::e2e {
namespace {

constexpr auto kStart = 30s;
constexpr auto kEnd = 5s;

// A point of the movie's 640 x 480 stage in the dialog: the movie sits at 16, 8 pixels, 449 x 353
// (its twips at 96 dots per inch), the stage scaled to fit whole and centred.
std::pair<int, int> StagePoint(std::pair<int, int> origin, double x, double y) {
  const double scale = std::min(449.0 / 640, 353.0 / 480);
  return {origin.first + 16 + static_cast<int>(x * scale + (449 - 640 * scale) / 2),
          origin.second + 8 + static_cast<int>(y * scale + (353 - 480 * scale) / 2)};
}

bool IsBlue(unsigned long pixel) {
  return (pixel & 0xFF) > 150 && ((pixel >> 16) & 0xFF) < 100;
}

TEST(SettingsDialog, ShowsTheSettingsStoresClicksExactlyAndAClosingEnds) {
  Settings settings(Player::kEmulator);
  settings.Set("language", "1033");
  settings.Set("music", "0");
  settings.Set("mouse", "3");
  Display display;
  Program dialog(settings, {"--config"});
  const Window window = display.WaitForMapped("Screensaver Configurations", kStart);
  ASSERT_NE(window, 0u);
  // 7260 x 5550 twips at 96 dots per inch.
  const XWindowAttributes area = display.Attributes(window);
  EXPECT_EQ(area.width, 484);
  EXPECT_EQ(area.height, 370);

  // The movie is up once the stored sensitivity, 3 (the second button), shows selected.
  const auto origin = display.Origin(window);
  const auto [selectedX, selectedY] = StagePoint(origin, 40 + 95 * 1 + 42, 305);
  ASSERT_TRUE(Eventually([&] { return IsBlue(display.PixelAt(selectedX, selectedY)); }, kStart))
      << "the stored sensitivity not shown";

  const auto [musicX, musicY] = StagePoint(origin, 480, 165);
  ClickAt(musicX, musicY);
  const auto [tenX, tenY] = StagePoint(origin, 40 + 95 * 3 + 42, 305);
  ClickAt(tenX, tenY);
  Eventually([&] { return settings.Stored("mouse") == "10"; }, kEnd);
  EXPECT_EQ(settings.Stored("music"), "1");
  EXPECT_EQ(settings.Stored("mouse"), "10");

  display.RequestClose(window);
  EXPECT_EQ(dialog.WaitForExit(kEnd), 0);
  EXPECT_EQ(dialog.Output().find("vellomar: player error"), std::string::npos)
      << "the emulator reported an error";
}

// The stored settings reach the movie as variables, "" for a missing one; the dialog stores the
// args of "setmusic" and "setmouse" byte for byte and no other command's, whatever its case.
TEST(SettingsDialog, HandsTheMovieTheStoredSettingsAndStoresItsCommandsExactly) {
  Settings settings;
  settings.Set("language", "1033");
  settings.Set("mouse", "3");
  Display display;
  Program dialog(settings, {"--config"});
  ASSERT_TRUE(dialog.WaitForLog("play c", kStart));
  const std::vector<std::string> log = dialog.PlayerLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "setting contextMenu \"off\""), log.end());
  const std::vector<std::string> variables = {"variable music ", "variable mouse 3",
                                              "variable language 2", "variable routine c"};
  EXPECT_NE(std::search(log.begin(), log.end(), variables.begin(), variables.end()), log.end());

  const std::string music = " \xC3\xA9\t=%; ";
  settings.SendCommand("setmouse", "25");
  settings.SendCommand("SetMouse", "99");
  settings.SendCommand("setmusic", music);
  Eventually([&] { return settings.Stored("music") == music; }, kEnd);
  EXPECT_EQ(settings.Stored("music"), music);
  EXPECT_EQ(settings.Stored("mouse"), "25");
}

TEST(Preview, FillsTheWindowNamedAndEndsWhenItIsDestroyed) {
  Settings settings(Player::kEmulator);
  Display display;
  const Window pane = display.CreatePane(152, 112);
  Program preview(settings, {"--window-id", HexId(pane)});
  // Embedded, and once the preview has placed its movie, exactly over the pane.
  Window embedded = 0;
  XWindowAttributes area{};
  Eventually(
      [&] {
        embedded = display.MappedChild(pane);
        if (embedded) area = display.Attributes(embedded);
        return embedded && area.width == 152 && area.height == 112;
      },
      kStart);
  ASSERT_NE(embedded, 0u) << "nothing was embedded";
  EXPECT_EQ(area.x, 0);
  EXPECT_EQ(area.y, 0);
  EXPECT_EQ(area.width, 152);
  EXPECT_EQ(area.height, 112);
  EXPECT_EQ(preview.WaitForExit(500ms), std::nullopt);
  XDestroyWindow(display.get(), pane);
  XSync(display.get(), False);
  EXPECT_EQ(preview.WaitForExit(kEnd), 0);
}

// The preview hands the movie its routine alone, with no menu, and the movie fills the pane; also
// as XScreenSaver's settings app starts it, with --root before the window.
TEST(Preview, HandsTheMovieOnlyItsRoutine) {
  Settings settings;
  settings.Set("music", "7");
  settings.Set("language", "1033");
  Display display;
  for (const bool root : {false, true}) {
    const Window pane = display.CreatePane(152, 112);
    std::vector<std::string> args{"--window-id", HexId(pane)};
    if (root) args.insert(args.begin(), "--root");
    Program preview(settings, args);
    ASSERT_TRUE(preview.WaitForLog("play p", kStart)) << args[0];
    const std::vector<std::string> log = preview.PlayerLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "setting contextMenu \"off\""), log.end());
    const auto variable = [](const std::string& line) { return line.rfind("variable ", 0) == 0; };
    EXPECT_EQ(std::count_if(log.begin(), log.end(), variable), 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "variable routine p"), log.end());
    EXPECT_TRUE(display.WaitForPixel(0, 0, kStandinPreviewColour, kEnd));
    EXPECT_EQ(display.PixelAt(151, 111), kStandinPreviewColour);
    EXPECT_NE(display.PixelAt(152, 112), kStandinPreviewColour) << "the movie goes beyond the pane";
    XDestroyWindow(display.get(), pane);
    XSync(display.get(), False);
    EXPECT_EQ(preview.WaitForExit(kEnd), 0);
  }
}

TEST(FlashNotice, ShowsAtItsSizeAndItsButtonEndsTheProgram) {
  Settings settings;
  Display display;
  Program notice(settings, {"/f"});
  const Window window = display.WaitForMapped("Screensaver Setup", kStart);
  ASSERT_NE(window, 0u);
  // 4575 x 2175 twips at 96 dots per inch, whatever the text and button would ask for.
  const XWindowAttributes area = display.Attributes(window);
  EXPECT_EQ(area.width, 305);
  EXPECT_EQ(area.height, 145);
  // The OK button: 1800, 1680 twips, 975 x 375.
  const auto [x, y] = display.Origin(window);
  ClickAt(x + 120 + 32, y + 112 + 12);
  EXPECT_EQ(notice.WaitForExit(kEnd), 0);
}

TEST(ErrorReport, TakesTheKeyboardAndEndsTheProgramWhenDismissed) {
  Settings settings;
  Display display;
  // A window number beyond 32 bits overflows in the start-up.
  Program program(settings, {"/p", "99999999999"});
  ASSERT_NE(display.WaitForMapped("vellomar", kStart), 0u);
  EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd));
  EXPECT_EQ(program.WaitForExit(500ms), std::nullopt);
  PressKey("Return");
  EXPECT_EQ(program.WaitForExit(kEnd), 1);
}

}  // namespace
}  // namespace vellomar::e2e
