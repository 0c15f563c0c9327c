// The full-screen role: it covers the screen, holds the keyboard (taking it once another client
// lets go), and ends on a key, a click or the stored count of real pointer moves; a second start
// while it runs opens nothing. The root role draws into the daemon's window instead.
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "linux_e2e_support.h"

namespace vellomar::e2e {
namespace {

constexpr char kGuard[] = "Screen Saver Main Form";
constexpr char kMovieWindow[] = "Form1";
// The web view's processes start slowly on a loaded machine.
constexpr auto kStart = 30s;
constexpr auto kEnd = 5s;

class FullScreen : public ::testing::Test {
 protected:
  // Starts the role and returns once its guard is up and holds the keyboard.
  std::unique_ptr<Program> Start() {
    auto saver = std::make_unique<Program>(settings, std::vector<std::string>{"--fullscreen"});
    guard = display.WaitForMapped(kGuard, kStart);
    EXPECT_NE(guard, 0u) << "the input guard never came up";
    EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd)) << "the keyboard was never grabbed";
    return saver;
  }

  Settings settings;
  Display display;
  Window guard = 0;
};

TEST_F(FullScreen, CoversTheScreenEndsOnAKeyAndASecondStartOpensNothing) {
  auto saver = Start();
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
}

TEST_F(FullScreen, EndsOnAClick) {
  auto saver = Start();
  Click(1);
  EXPECT_EQ(saver->WaitForExit(kEnd), 0);
}

// Space opens the purchase page, the install folder's buy.htm, in the user's browser (here a
// recorder registered for web pages), and the saver ends a second later.
TEST_F(FullScreen, SpaceOpensThePurchasePageInTheBrowserAndEnds) {
  namespace fs = std::filesystem;
  const fs::path home = settings.home();
  const fs::path install = home / "install";
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

  Program saver(settings, {"--fullscreen"},
                {{"XDG_DATA_HOME", (home / "data").string()},
                 // The system's folder still gives the types of files.
                 {"XDG_DATA_DIRS", (home / "data").string() + ":/usr/share"}});
  ASSERT_NE(display.WaitForMapped(kGuard, kStart), 0u);
  ASSERT_TRUE(display.WaitForKeyboardGrab(kEnd));
  PressKey("space");
  EXPECT_EQ(saver.WaitForExit(500ms), std::nullopt) << "ended before the page's second";
  EXPECT_EQ(saver.WaitForExit(kEnd), 0);
  std::string uri;
  const auto end = std::chrono::steady_clock::now() + kEnd;
  while (uri.empty() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(50ms);
    std::getline(std::ifstream(opened), uri);
  }
  // A local file reaches the browser as its path or its file URL.
  const std::string page = (install / "buy.htm").string();
  EXPECT_TRUE(uri == page || uri == "file://" + page) << uri;
}

TEST_F(FullScreen, TakesTheKeyboardOnceAnotherClientLetsGoOfIt) {
  Display other;
  ASSERT_EQ(XGrabKeyboard(other.get(), DefaultRootWindow(other.get()), False, GrabModeAsync,
                          GrabModeAsync, CurrentTime),
            GrabSuccess);
  XSync(other.get(), False);
  Program saver(settings, {"--fullscreen"});
  ASSERT_NE(display.WaitForMapped(kGuard, kStart), 0u) << "a held grab kept the saver away";
  XUngrabKeyboard(other.get(), CurrentTime);
  XSync(other.get(), False);
  EXPECT_TRUE(display.WaitForKeyboardGrab(kEnd)) << "the grab was never retried";
  PressKey("Escape");
  EXPECT_EQ(saver.WaitForExit(kEnd), 0);
}

TEST_F(FullScreen, EndsOnTheStoredCountOfRealMoves) {
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
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", daemon);
  Program saver(settings, {"--root"}, {{"XSCREENSAVER_WINDOW", id}});
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

}  // namespace
}  // namespace vellomar::e2e
