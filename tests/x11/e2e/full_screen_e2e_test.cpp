// The full-screen role: it covers the screen with the movie, holds the keyboard (covering nothing
// while another client keeps it), and ends on a key, a click or the stored count of real pointer moves; a
// second start while it runs opens nothing. The root role draws into the daemon's window instead.
// The real emulator plays our movie where the test looks at the movie itself; elsewhere the
// stand-in player does.
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "x11_e2e_support.h"

#include <X11/Xutil.h>

namespace vellomar::e2e {
namespace {

constexpr char kGuard[] = "Screen Saver Main Form";
constexpr char kMovieWindow[] = "Form1";
// The web view's processes start slowly on a loaded machine.
constexpr auto kStart = 30s;
constexpr auto kEnd = 5s;

// Whether the movie's pixels (anything not black) have shown in each quarter of the screen
// within the time; the movie's shapes move, so the quarters are sampled until each had some.
bool MovieShowsAllOver(const Display& display, std::chrono::milliseconds timeout) {
  bool seen[2][2] = {};
  return Eventually(
      [&] {
        XImage* image = XGetImage(display.get(), DefaultRootWindow(display.get()), 0, 0,
                                  static_cast<unsigned>(display.width()),
                                  static_cast<unsigned>(display.height()), AllPlanes, ZPixmap);
        if (!image) return false;
        for (int y = 4; y < display.height(); y += 16) {
          for (int x = 4; x < display.width(); x += 16) {
            if (XGetPixel(image, x, y) != 0) {
              seen[2 * y / display.height()][2 * x / display.width()] = true;
            }
          }
        }
        XDestroyImage(image);
        return seen[0][0] && seen[0][1] && seen[1][0] && seen[1][1];
      },
      timeout);
}

template <Player kPlayer>
class Saver : public ::testing::Test {
 protected:
  // Starts the role and returns once its guard is up and holds the keyboard.
  std::unique_ptr<Program> Start() {
    auto saver = std::make_unique<Program>(settings, std::vector<std::string>{"--fullscreen"});
    guard = display.WaitForMapped(kGuard, kStart);
    EXPECT_NE(guard, 0u) << "the input guard never came up";
    EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd)) << "the keyboard was never grabbed";
    return saver;
  }

  Settings settings{kPlayer};
  Display display;
  Window guard = 0;
};
using FullScreen = Saver<Player::kStandin>;
using FullScreenMovie = Saver<Player::kEmulator>;

TEST_F(FullScreenMovie, CoversTheScreenEndsOnAKeyAndASecondStartOpensNothing) {
  auto saver = Start();
  EXPECT_TRUE(MovieShowsAllOver(display, kStart)) << "the movie did not show over the screen";
  const XWindowAttributes guardArea = display.Attributes(guard);
  EXPECT_EQ(guardArea.c_class, InputOnly);
  EXPECT_EQ(guardArea.x, 0);
  EXPECT_EQ(guardArea.y, 0);
  EXPECT_EQ(guardArea.width, display.width());
  EXPECT_EQ(guardArea.height, display.height());
  const Window movie = display.FindMapped(kMovieWindow);
  ASSERT_NE(movie, 0u);
  const XWindowAttributes movieArea = display.Attributes(movie);
  EXPECT_EQ(movieArea.width, display.width());
  EXPECT_EQ(movieArea.height, display.height());

  Program second(settings, {"--fullscreen"});
  EXPECT_EQ(second.WaitForExit(kStart), 0);
  EXPECT_EQ(display.CountMapped(kMovieWindow), 1);
  EXPECT_EQ(display.CountMapped(kGuard), 1);

  PressKey("x");
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
  EXPECT_EQ(display.FindMapped(kGuard), 0u);
  EXPECT_EQ(saver->Output().find("vellomar: player error"), std::string::npos)
      << "the emulator reported an error";
}

// The page hands the player the role's settings, our movie and the variables in the order the role
// sets them; the stand-in's colour then fills the screen. The full screen handles no movie command.
TEST_F(FullScreen, PlaysOurMovieWithTheRoleSettingsAndVariables) {
  settings.Set("music", "7");
  settings.Set("language", "1033");
  auto saver = Start();
  ASSERT_TRUE(saver->WaitForLog("play s", kStart));
  const std::vector<std::string> log = saver->PlayerLog();
  for (const char* setting : {"wmode \"window\"", "quality \"high\"", "scale \"showAll\"",
                              "autoplay \"on\"", "contextMenu \"on\"", "allowScriptAccess true",
                              "allowNetworking \"all\""}) {
    EXPECT_NE(std::find(log.begin(), log.end(), std::string("setting ") + setting), log.end())
        << setting;
  }
  const auto movieSize =
      std::filesystem::file_size(std::string(VELLOMAR_E2E_PROGRAM_DIR) + "/vellomar.lak");
  const std::vector<std::string> played = {
      "load vellomar://player/movie " + std::to_string(movieSize), "variable music 7", "variable language 2", "variable routine s", "play s"};
  EXPECT_NE(std::search(log.begin(), log.end(), played.begin(), played.end()), log.end());
  EXPECT_TRUE(display.WaitForPixel(0, 0, kStandinSaverColour, kEnd));
  EXPECT_EQ(display.PixelAt(display.width() - 1, display.height() - 1), kStandinSaverColour);

  // The stand-in writes the command to the console: its terminal escapes come out harmless.
  settings.SendCommand("setmusic", "9\x1b]0;owned\x07");
  ASSERT_TRUE(saver->WaitForLog("fscommand setmusic 9\\x1b]0;owned\\x07", kEnd));
  EXPECT_EQ(saver->Output().find('\x1b'), std::string::npos);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(settings.Stored("music"), "7");
  PressKey("x");
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
}

TEST_F(FullScreenMovie, EndsOnAClick) {
  auto saver = Start();
  Click(1);
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
}

// Space opens the purchase page, the install folder's buy.htm, in the user's browser (here a
// recorder registered for web pages), and the saver ends a second later; signs of URIs in the
// folder's name stay part of it. Without a browser, the failure is said and logged.
TEST_F(FullScreen, SpaceOpensThePurchasePageInTheBrowserAndEnds) {
  namespace fs = std::filesystem;
  const fs::path home = settings.home();
  const fs::path install = home / "install #1 100%";
  fs::create_directories(install);
  fs::create_symlink(fs::path(VELLOMAR_E2E_PROGRAM_DIR) / "vellomar.lak", install / "vellomar.lak");
  std::ofstream(install / "buy.htm") << "<html></html>";
  settings.Set("path", install.string());
  const fs::path opened = home / "opened.txt";
  const fs::path recorder = home / "record.sh";
  std::ofstream(recorder) << "#!/bin/sh\necho \"$1\" > " << opened.string() << "\n";
  fs::permissions(recorder, fs::perms::owner_all);
  fs::create_directories(home / "data/applications");
  std::ofstream(home / "data/applications/recorder.desktop")
      << "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" << recorder.string()
      << " %u\nMimeType=text/html;\n";
  std::ofstream(home / "mimeapps.list") << "[Default Applications]\ntext/html=recorder.desktop\n";
  const fs::path state = home / "state";
  const auto pressSpace = [&](const std::string& dataDirs) {
    Program saver(settings, {"--fullscreen"},
                  {{"XDG_DATA_HOME", (home / "data").string()}, {"XDG_DATA_DIRS", dataDirs},
                   {"XDG_STATE_HOME", state.string()}});
    EXPECT_NE(display.WaitForMapped(kGuard, kStart), 0u);
    EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd));
    PressKey("space");
    EXPECT_EQ(saver.WaitForExit(500ms), std::nullopt) << "ended before the page's second";
    EXPECT_EQ(saver.WaitForExit(kEnd), 0);
    return saver.Output();
  };
  // The system's folder still gives the types of files.
  pressSpace((home / "data").string() + ":/usr/share");
  std::string uri;
  Eventually([&] { return std::getline(std::ifstream(opened), uri) && !uri.empty(); }, kEnd);
  // A local file reaches the browser as its path or its file URI.
  const std::string page = (install / "buy.htm").string();
  std::string escaped;
  for (const char c : page) {
    escaped += c == ' ' ? "%20" : c == '#' ? "%23" : c == '%' ? "%25" : std::string(1, c);
  }
  EXPECT_TRUE(uri == page || uri == "file://" + escaped) << uri;

  fs::remove(home / "data/applications/recorder.desktop");
  const std::string output = pressSpace((home / "empty").string());
  EXPECT_NE(output.find("vellomar: cannot open file://" + escaped + " in a web browser"),
            std::string::npos)
      << output;
  std::string logged;
  std::getline(std::ifstream(state / "vellomar/error.log"), logged);
  EXPECT_NE(logged.find("cannot open file://" + escaped), std::string::npos) << logged;
}

// Another client holding the keyboard (a menu left open, a program that grabbed and hung) would
// get every key: the saver waits about a second for it, and covers nothing when it never comes.
TEST_F(FullScreen, CoversNothingWithoutTheKeyboardAndWaitsABitForIt) {
  namespace fs = std::filesystem;
  const fs::path state = fs::path(settings.home()) / "state";
  Display other;
  const auto holdKeyboard = [&] {
    return XGrabKeyboard(other.get(), DefaultRootWindow(other.get()), False, GrabModeAsync,
                         GrabModeAsync, CurrentTime) == GrabSuccess &&
           XSync(other.get(), False);
  };
  ASSERT_TRUE(holdKeyboard());
  {
    Program saver(settings, {"--fullscreen"}, {{"XDG_STATE_HOME", state.string()}});
    bool covered = false;
    ASSERT_TRUE(Eventually(
        [&] {
          covered = covered || display.FindMapped(kMovieWindow) || display.FindMapped(kGuard);
          return saver.WaitForExit(0ms).has_value();
        },
        kEnd));
    EXPECT_EQ(saver.WaitForExit(0ms), 1);
    EXPECT_FALSE(covered);
    EXPECT_NE(saver.Output().find("vellomar: another program holds the keyboard"),
              std::string::npos);
    std::string logged;
    std::getline(std::ifstream(state / "vellomar/error.log"), logged);
    EXPECT_NE(logged.find("another program holds the keyboard"), std::string::npos) << logged;
  }

  // Let go within the second: the saver comes up with the keyboard.
  Program saver(settings, {"--fullscreen"});
  std::this_thread::sleep_for(300ms);
  XUngrabKeyboard(other.get(), CurrentTime);
  XSync(other.get(), False);
  ASSERT_NE(display.WaitForMapped(kGuard, kStart), 0u);
  EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd));
  PressKey("Escape");
  EXPECT_EQ(saver.WaitForExit(kEnd), 0);
}

// Another client keeps the pointer (a drag that never ends): the guard retries its grab, and a
// click still ends the run, though it goes to that client.
TEST_F(FullScreen, AClickEndsTheRunWhileAnotherClientKeepsThePointer) {
  Display other;
  ASSERT_EQ(XGrabPointer(other.get(), DefaultRootWindow(other.get()), False, ButtonPressMask,
                         GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime),
            GrabSuccess);
  XSync(other.get(), False);
  auto saver = Start();
  EXPECT_EQ(saver->WaitForExit(500ms), std::nullopt);
  Click(1);
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
}

// Windows that another client maps while the saver runs, outside a window manager's stacking and
// inside it (a plain top-level, which no manager here frames), end up under the saver, which keeps
// the keyboard.
TEST_F(FullScreen, StaysAboveWindowsMappedLater) {
  auto saver = Start();
  ASSERT_TRUE(display.WaitForPixel(0, 0, kStandinSaverColour, kStart));
  Display other;
  for (const bool overrideRedirect : {true, false}) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = overrideRedirect ? True : False;
    attributes.background_pixel = 0x00ff00;
    const Window window = XCreateWindow(
        other.get(), DefaultRootWindow(other.get()), 0, 0, 200, 150, 0, CopyFromParent,
        InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(other.get(), window);
    XSync(other.get(), False);
    EXPECT_TRUE(display.WaitForPixel(100, 75, kStandinSaverColour, kEnd))
        << (overrideRedirect ? "override-redirect" : "top-level") << " window stays on top";
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(display.PixelAt(100, 75), kStandinSaverColour);
  }
  EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd));
  PressKey("x");
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
}

// The screen grows while the saver runs (a monitor wakes with another mode, a dock): the backdrop,
// the movie and the guard cover it again, so no part of the desktop shows or takes a click.
TEST(ScreenChange, TheSaverCoversTheScreensNewSize) {
  Settings settings;
  NestedDisplay screen(800, 600);
  Display display;
  Program saver(settings, {"--fullscreen"});
  const Window guard = display.WaitForMapped(kGuard, kStart);
  ASSERT_NE(guard, 0u);
  ASSERT_TRUE(display.WaitForPixel(799, 599, kStandinSaverColour, kStart));
  screen.Resize(1024, 768);
  ASSERT_TRUE(Eventually(
      [&] { return display.Attributes(DefaultRootWindow(display.get())).width == 1024; }, kEnd));
  EXPECT_TRUE(display.WaitForPixel(1023, 767, kStandinSaverColour, kEnd)) << "the movie stays small";
  EXPECT_EQ(display.Attributes(guard).width, 1024);
  EXPECT_EQ(display.Attributes(guard).height, 768);
  ClickAt(1000, 700);
  EXPECT_EQ(saver.WaitForExit(kEnd), 0) << "a click on the new part of the screen was lost";
}

TEST_F(FullScreenMovie, EndsOnTheStoredCountOfRealMoves) {
  settings.Set("mouse", "3");
  MovePointer(10, 10);
  auto saver = Start();
  MovePointer(100, 100);
  MovePointer(200, 200);
  // Back to where it is: no move at all.
  MovePointer(200, 200);
  EXPECT_EQ(saver->WaitForExit(1s), std::nullopt) << "ended before the third move";
  MovePointer(300, 300);
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
}

// As XScreenSaver runs it: into the window it names, leaving it the keyboard and pointer, and
// gone at once on its SIGTERM.
TEST(RootRole, DrawsIntoTheWindowXScreenSaverNamesAndLeavesItTheInput) {
  Settings settings;
  Display display;
  const Window daemon = display.CreatePane(400, 300);
  Program saver(settings, {"--root"}, {{"XSCREENSAVER_WINDOW", HexId(daemon)}});
  const Window guard = display.WaitForMapped(kGuard, kStart);
  ASSERT_NE(guard, 0u);
  EXPECT_EQ(display.Parent(guard), daemon);
  const Window movie = display.FindMapped(kMovieWindow);
  ASSERT_NE(movie, 0u);
  EXPECT_EQ(display.Parent(movie), daemon);
  const XWindowAttributes movieArea = display.Attributes(movie);
  EXPECT_EQ(movieArea.width, 400);
  EXPECT_EQ(movieArea.height, 300);
  EXPECT_FALSE(display.WaitForKeyboardGrab(500ms)) << "the root role took the keyboard";
  kill(saver.pid(), SIGTERM);
  EXPECT_EQ(saver.WaitForExit(1s), 128 + SIGTERM);
}

// The daemon's window goes (a settings app killed while it shows a preview): the root role ends
// within a second, with its web processes; a window that is gone already ends it at once.
TEST(RootRole, EndsWithAllItsProcessesWhenItsWindowGoes) {
  Settings settings;
  Display display;
  const Window daemon = display.CreatePane(400, 300);
  Program saver(settings, {"--root"}, {{"XSCREENSAVER_WINDOW", HexId(daemon)}});
  ASSERT_TRUE(saver.WaitForLog("play s", kStart));
  XDestroyWindow(display.get(), daemon);
  XSync(display.get(), False);
  EXPECT_EQ(saver.WaitForExit(1s), 0);
  EXPECT_TRUE(Eventually([&] { return saver.ProcessesLeft() == 0; }, 2s))
      << saver.ProcessesLeft() << " processes left";

  Program stale(settings, {"--root"}, {{"XSCREENSAVER_WINDOW", HexId(daemon)}});
  EXPECT_EQ(stale.WaitForExit(kEnd), 1);
  EXPECT_NE(stale.Output().find("vellomar: the window to draw into no longer exists"),
            std::string::npos);
}

}  // namespace
}  // namespace vellomar::e2e
