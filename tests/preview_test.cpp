// The preview: the hook on the picture box, and whole runs of "/p <pane>" on the in-memory
// platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "preview/control_form.h"
#include "preview/preview_window.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"
#include "startup/main.h"

namespace vellomar {
namespace {

constexpr std::uint32_t kWmPaint = 0x000F;
const std::string kFlash = kFlashProgId;

std::intptr_t AddressOf(WndProc proc) { return reinterpret_cast<std::intptr_t>(proc); }

bool Reached(const sim::SimPlatform& sim, Hwnd hwnd, std::uint32_t msg) {
  const auto& seen = sim.defaultProcMessages;
  return std::find(seen.begin(), seen.end(), std::make_pair(hwnd, msg)) != seen.end();
}

std::string SetWndProcCall(Hwnd hwnd) {
  return "SetWindowLongA(" + std::to_string(hwnd) + ",-4,0)";
}

long CountCalls(const sim::SimPlatform& sim, const std::string& call) {
  return std::count(sim.calls().begin(), sim.calls().end(), call);
}

// The hook routines on their own, with a foreign window standing in for the picture box.
class PreviewWindowTest : public ::testing::Test {
 protected:
  PreviewWindowTest() : window(sim.CreateForeignWindow("picture", 40, 30)) {
    original = sim.windows().Get(window)->wndProc;
    sim.defaultProcResult = 77;
  }

  sim::SimPlatform sim;
  Program program{sim};
  Hwnd window;
  std::intptr_t original = 0;
};

TEST_F(PreviewWindowTest, HookKeepsTheProcedureItReplaces) {
  HookPreviewWindow(program, window);
  EXPECT_EQ(program.values().PrevWndProc, original);
  EXPECT_EQ(sim.windows().Get(window)->wndProc, AddressOf(&PreviewWndProc));
}

TEST_F(PreviewWindowTest, HookOnAMissingWindowKeepsNothing) {
  program.values().PrevWndProc = original;
  HookPreviewWindow(program, 596);
  EXPECT_EQ(program.values().PrevWndProc, 0);
}

TEST_F(PreviewWindowTest, CloseIsSwallowedAndEndsThePreview) {
  HookPreviewWindow(program, window);
  program.values().PreviewActive = kTrue;
  EXPECT_EQ(sim.SendMessageA(window, win::kWmClose), 0);
  EXPECT_EQ(program.values().PreviewActive, kFalse);
  EXPECT_FALSE(Reached(sim, window, win::kWmClose));
  EXPECT_NE(sim.windows().Get(window), nullptr);
}

TEST_F(PreviewWindowTest, WithoutAPreviousProcedureMessagesReturnZero) {
  HookPreviewWindow(program, window);
  program.values().PrevWndProc = 0;
  program.values().PreviewActive = kTrue;
  EXPECT_EQ(sim.SendMessageA(window, kWmPaint), 0);
  EXPECT_EQ(sim.SendMessageA(window, win::kWmClose), 0);
  EXPECT_EQ(program.values().PreviewActive, kTrue);
  EXPECT_TRUE(sim.defaultProcMessages.empty());
}

TEST_F(PreviewWindowTest, UnhookRestoresOnceThenDoesNothing) {
  HookPreviewWindow(program, window);
  UnhookPreviewWindow(program, window);
  EXPECT_EQ(sim.windows().Get(window)->wndProc, original);
  EXPECT_EQ(program.values().PrevWndProc, 0);

  sim.ClearCalls();
  UnhookPreviewWindow(program, window);
  EXPECT_TRUE(sim.calls().empty());
  EXPECT_EQ(sim.windows().Get(window)->wndProc, original);
}

TEST_F(PreviewWindowTest, UnhookOnADestroyedWindowForgetsTheProcedure) {
  HookPreviewWindow(program, window);
  sim.DestroyWindow(window);
  UnhookPreviewWindow(program, window);
  EXPECT_EQ(program.values().PrevWndProc, 0);
}

// Whole runs of the preview against a pane of another program.
class PreviewTest : public ::testing::Test {
 protected:
  PreviewTest() {
    sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "path", "C:\\Saver");
    pane = sim.CreateForeignWindow("pane", 152, 112);
    sim.commandArgs = "/p " + std::to_string(pane);
  }

  // Captures what the preview looks like once it has loaded.
  void ObserveAt(double seconds) {
    sim.At(seconds, [this] {
      Program& program = Program::Current();
      values = program.values();
      const ControlForm* form = program.Find<ControlForm>();
      ASSERT_NE(form, nullptr);
      formHwnd = form->hWnd();
      picture = form->Picture1.hWnd();
    });
  }

  // The picture box's window; the test stops when it is gone.
  const sim::SimWindow& Picture() {
    const sim::SimWindow* window = sim.windows().Get(picture);
    if (!window) throw std::runtime_error("the picture box was destroyed");
    return *window;
  }

  sim::SimPlatform sim;
  Hwnd pane = 0;
  ProgramValues values;
  Hwnd formHwnd = 0;
  Hwnd picture = 0;
};

TEST_F(PreviewTest, PictureBoxCoversThePaneClientArea) {
  ObserveAt(0.05);
  sim.At(0.06, [&] {
    EXPECT_EQ(sim.windows().Children(pane), std::vector<Hwnd>{picture});
    EXPECT_EQ(Picture().kind, "picture");
    EXPECT_EQ(Picture().backColor, 0x00FF0000u);
    EXPECT_EQ(Picture().bounds.right - Picture().bounds.left, 152);
    EXPECT_EQ(Picture().bounds.bottom - Picture().bounds.top, 112);
    EXPECT_EQ(Picture().wndProc, AddressOf(&PreviewWndProc));
    EXPECT_FALSE(sim.windows().Get(formHwnd)->visible);
  });
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_FALSE(result.exited);
  EXPECT_EQ(values.PreviewActive, kTrue);
  EXPECT_EQ(values.PreviewRect.right, 152);
  EXPECT_EQ(values.PreviewRect.bottom, 112);
  EXPECT_NE(values.PrevWndProc, 0);
  const sim::SimControl* flash = sim.LastControl(kFlash);
  ASSERT_NE(flash, nullptr);
  EXPECT_EQ(flash->host, picture);
  const auto& settings = flash->design.settings;
  const auto menu = std::find_if(settings.begin(), settings.end(),
                                 [](const auto& setting) { return setting.first == "Menu"; });
  ASSERT_NE(menu, settings.end());
  EXPECT_EQ(menu->second, DispValue(false));
}

TEST_F(PreviewTest, MovieGetsPlacedLoadedAndOnlyTheRoutine) {
  sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "language", "1033");
  sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "music", "1");
  sim.Run(Main, 1.0);

  const sim::SimControl* flash = sim.LastControl(kFlash);
  ASSERT_NE(flash, nullptr);
  // Top, Left, Width, Height one at a time, from the design-time placement.
  const std::vector<std::string> expected = {"Move 120,0,4560,3360",
                                             "Move 0,0,4560,3360",
                                             "Move 0,0,2280,3360",
                                             "Move 0,0,2280,1680",
                                             "Put 102 C:\\Saver\\vellomar.lak",
                                             "Invoke 151 routine p",
                                             "Invoke 112"};
  EXPECT_EQ(flash->calls, expected);
}

TEST_F(PreviewTest, SizeFollowsTheScreenTwipsFactors) {
  sim.screen.twipsPerPixelX = 12.0;
  sim.screen.twipsPerPixelY = 12.0;
  ObserveAt(0.05);
  sim.At(0.06, [&] {
    EXPECT_EQ(Picture().bounds.right - Picture().bounds.left, 152);
    EXPECT_EQ(Picture().bounds.bottom - Picture().bounds.top, 112);
  });
  sim.Run(Main, 1.0);
  EXPECT_EQ(sim.LastControl(kFlash)->placement.width, 152 * 12);
  EXPECT_EQ(sim.LastControl(kFlash)->placement.height, 112 * 12);
}

TEST_F(PreviewTest, CloseTakesThePictureBackAndEndsAtTheNextTick) {
  ObserveAt(0.05);
  sim.At(0.25, [&] {
    EXPECT_EQ(sim.SendMessageA(picture, win::kWmClose), 0);
    EXPECT_TRUE(sim.windows().Children(pane).empty());
    EXPECT_EQ(Picture().parent, formHwnd);
    EXPECT_EQ(Program::Current().values().PreviewActive, kFalse);
  });
  const sim::RunResult result = sim.Run(Main, 5.0);

  EXPECT_FALSE(Reached(sim, picture, win::kWmClose));
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.3);
  EXPECT_TRUE(sim.errorReports.empty());
  // Hooked at load, unhooked at unload.
  EXPECT_EQ(CountCalls(sim, SetWndProcCall(picture)), 2);
}

TEST_F(PreviewTest, SecondCloseIsHandledTheSameWay) {
  ObserveAt(0.05);
  sim.At(0.25, [&] {
    EXPECT_EQ(sim.SendMessageA(picture, win::kWmClose), 0);
    EXPECT_EQ(sim.SendMessageA(picture, win::kWmClose), 0);
    EXPECT_EQ(Picture().parent, formHwnd);
    EXPECT_EQ(Program::Current().values().PreviewActive, kFalse);
  });
  const sim::RunResult result = sim.Run(Main, 5.0);

  EXPECT_FALSE(Reached(sim, picture, win::kWmClose));
  EXPECT_TRUE(result.exited);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.3);
}

TEST_F(PreviewTest, OtherMessagesGoToThePictureBoxProcedure) {
  sim.defaultProcResult = 77;
  ObserveAt(0.05);
  sim.At(0.15, [&] { EXPECT_EQ(sim.SendMessageA(picture, kWmPaint, 3, 4), 77); });
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_TRUE(Reached(sim, picture, kWmPaint));
  EXPECT_FALSE(result.exited);
}

TEST_F(PreviewTest, PaneDestroyedEndsAtTheNextTick) {
  ObserveAt(0.05);
  sim.At(0.25, [&] { sim.DestroyWindow(pane); });
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.3);
  EXPECT_TRUE(sim.errorReports.empty());
  EXPECT_TRUE(sim.files.empty());
}

TEST_F(PreviewTest, PaneThatIsNoWindowEndsAfterTheFirstTick) {
  for (const std::string args : {"/p 0", "/p 596", "/p"}) {
    SCOPED_TRACE(args);
    sim::SimPlatform run;
    run.commandArgs = args;
    const sim::RunResult result = run.Run(Main, 5.0);

    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_DOUBLE_EQ(run.ElapsedSeconds(), 0.1);
    const sim::SimControl* flash = run.LastControl(kFlash);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->calls.at(3), "Move 0,0,0,0");
    EXPECT_EQ(flash->calls.back(), "Invoke 112");
    EXPECT_TRUE(run.errorReports.empty());
  }
}

TEST_F(PreviewTest, FailureAfterEmbeddingIsLoggedAndThePreviewStays) {
  sim.controlFailAtCall[kFlash] = 4;  // the movie
  // The blue picture box stays in the pane, without a movie, until the pane closes.
  sim.At(0.5, [&] { EXPECT_EQ(sim.windows().Children(pane).size(), 1u); });
  const sim::RunResult result = sim.Run(Main, 1.0);

  EXPECT_FALSE(result.exited);
  const std::string& log = sim.files["C:\\Saver\\error.log"];
  EXPECT_NE(log.find("   The control refused the call: Put\r\n"), std::string::npos);
  EXPECT_EQ(sim.LastControl(kFlash)->calls.size(), 4u);  // no movie, no routine, no play
}

TEST_F(PreviewTest, FailureBeforeEmbeddingIsLoggedAndTheFirstTickEnds) {
  // Too wide to be measured in 32-bit twips.
  const Hwnd hugePane = sim.CreateForeignWindow("pane", 200000000, 112);
  sim.commandArgs = "/p " + std::to_string(hugePane);
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.1);
  EXPECT_TRUE(sim.errorReports.empty());
  const std::string& log = sim.files["C:\\Saver\\error.log"];
  EXPECT_NE(log.find("   Overflow\r\n"), std::string::npos);
  EXPECT_TRUE(sim.LastControl(kFlash)->calls.empty());
  EXPECT_TRUE(sim.windows().Children(hugePane).empty());
}

TEST_F(PreviewTest, HandleOfThePreviewsOwnWindowIsRefusedAsTheParent) {
  // A fresh platform numbers windows alike every time: learn the picture box's handle and its
  // movie control's from a first run.
  std::vector<Hwnd> own;
  {
    sim::SimPlatform probe;
    probe.commandArgs = "/p";
    probe.At(0.0, [&] {
      own.push_back(Program::Current().Find<ControlForm>()->Picture1.hWnd());
      own.push_back(probe.LastControl(kFlash)->handle);
    });
    probe.Run(Main, 0.05);
  }
  ASSERT_EQ(own.size(), 2u);
  for (const Hwnd handle : own) {
    SCOPED_TRACE(handle);
    sim::SimPlatform run;
    run.commandArgs = "/p " + std::to_string(handle);
    Hwnd form = 0;
    run.At(0.5, [&] {
      form = Program::Current().Find<ControlForm>()->hWnd();
      EXPECT_EQ(run.windows().Get(own[0])->parent, form);
    });
    const sim::RunResult result = run.Run(Main, 1.0);

    // The named window lives on, so the preview stays; ending the run tears it all down.
    EXPECT_FALSE(result.exited);
    EXPECT_NE(form, 0);
    const auto& calls = run.calls();
    const std::string refused =
        "SetParent(" + std::to_string(own[0]) + "," + std::to_string(handle) + ")";
    EXPECT_NE(std::find(calls.begin(), calls.end(), refused), calls.end());
    EXPECT_TRUE(run.errorReports.empty());
    EXPECT_EQ(run.windows().Count(), 0u);
  }
}

}  // namespace
}  // namespace vellomar
