// The backdrop and the movie window of the full-screen saver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_test_support.h"

namespace vellomar {
namespace {

using Strings = std::vector<std::string>;

class MovieWindowTest : public SaverRun {
 protected:
  const Strings& FlashCalls() { return sim.LastControl(kFlash)->calls; }
};

TEST_F(MovieWindowTest, StretchesTheMovieOverTheScreenAndStartsItInTheSaverRole) {
  Setting("music", "7");
  Setting("language", "1033");
  sim.screen = {1280, 1024, 15.0, 15.0};
  KeyAt(1.0, 65);
  ExpectEnded(Run());

  EXPECT_EQ(FlashCalls(), (Strings{"Move 0,0,4800,3600", "Move 0,0,4800,3600",
                                   "Move 0,0,19200,3600", "Move 0,0,19200,15360",
                                   "Put 102 C:\\Saver\\vellomar.lak", "Invoke 151 music 7",
                                   "Invoke 151 language 2", "Invoke 151 routine s",
                                   "Invoke 112"}));
  const sim::SimControl& flash = *sim.LastControl(kFlash);
  EXPECT_EQ(Calls("SetWindowPos(" + std::to_string(flash.host) + ",-1,0,0,0,0,3)"), 1);
  EXPECT_TRUE(flash.destroyed);
}

TEST_F(MovieWindowTest, AnUnknownLanguageSetsNoLanguageButStillPlays) {
  Setting("language", " 1033");
  KeyAt(1.0, 65);
  ExpectEnded(Run());

  EXPECT_EQ(FlashCalls(), (Strings{"Move 0,0,4800,3600", "Move 0,0,4800,3600",
                                   "Move 0,0,15360,3600", "Move 0,0,15360,11520",
                                   "Put 102 C:\\Saver\\vellomar.lak", "Invoke 151 music ",
                                   "Invoke 151 routine s", "Invoke 112"}));
}

TEST_F(MovieWindowTest, MovieWindowStaysInFrontOfTheBackdropUntilTheGuardOpensOnce) {
  CheckAt(0.05, [this] {
    EXPECT_EQ(Guard(), 0);
    const Hwnd movie = sim.windows().FindByText("Form1");
    const std::vector<Hwnd>& order = sim.windows().ZOrder();
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], movie);
    const sim::SimWindow& backdrop = *sim.windows().Get(order[1]);
    EXPECT_TRUE(backdrop.visible);
    EXPECT_EQ(backdrop.design.state, WindowState::Maximized);
    EXPECT_EQ(backdrop.design.border, BorderStyle::None);
    EXPECT_FALSE(backdrop.design.showInTaskbar);
  });
  Hwnd guard = 0;
  CheckAt(0.15, [&] { guard = Guard(); });
  const sim::RunResult result = Run();

  EXPECT_FALSE(result.exited);
  // The timer fired once: nothing was left to happen after the guard opened.
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.15);
  ASSERT_NE(guard, 0);
  EXPECT_EQ(Calls("SetWindowLongA(" + std::to_string(guard) + ",-20,32)"), 1);
}

TEST_F(MovieWindowTest, AFailedSetUpIsLoggedAndStillOpensTheGuard) {
  sim.controlFailAtCall[kFlash] = 4;  // the Movie property
  KeyAt(1.0, 65);
  ExpectEnded(Run());

  EXPECT_EQ(FlashCalls().size(), 4u);
  const std::string log = sim.files.at("C:\\Saver\\error.log");
  EXPECT_NE(log.find("   The control refused the call: Put\r\n"), std::string::npos);
  EXPECT_EQ(Calls("ShowCursor(1)"), 12);
}

// Two monitors, the second left of the primary: the backdrop and the guard cover both, the movie
// window and its movie the primary monitor alone.
TEST_F(MovieWindowTest, BackdropAndGuardCoverEveryMonitorTheMovieThePrimaryOne) {
  sim.screen = {1024, 768, 15.0, 15.0};
  sim.virtualScreen = Rect{-800, 0, 1024, 768};
  CheckAt(0.15, [this] {
    auto bounds = [this](Hwnd hwnd) {
      const sim::SimWindow* window = sim.windows().Get(hwnd);
      return window ? std::vector<int>{window->bounds.left, window->bounds.top,
                                       window->bounds.right, window->bounds.bottom}
                    : std::vector<int>{};
    };
    const std::vector<int> all{-800, 0, 1024, 768};
    EXPECT_EQ(bounds(Guard()), all);
    const std::vector<Hwnd>& order = sim.windows().ZOrder();
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(bounds(order[2]), all);  // the backdrop, behind the top-most two
    EXPECT_EQ(bounds(sim.windows().FindByText("Form1")), (std::vector<int>{0, 0, 1024, 768}));
  });
  KeyAt(1.0, 65);
  ExpectEnded(Run());

  EXPECT_EQ(FlashCalls()[3], "Move 0,0,15360,11520");
}

}  // namespace
}  // namespace vellomar
