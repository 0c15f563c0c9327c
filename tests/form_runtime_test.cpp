#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/program.h"
#include "runtime/raised_error.h"
#include "runtime/sim/sim_platform.h"

namespace vellomar {
namespace {

std::vector<std::string> events;

class First : public Form {
 public:
  explicit First(Program& program) : Form(program, FormDesign{"first"}) {}
  void Load() override { events.push_back("first load"); }
  void QueryUnload(std::int16_t& cancel) override {
    events.push_back("first query");
    cancel = refuse;
  }
  void Unload() override { events.push_back("first unload"); }
  static inline std::int16_t refuse = 0;
};

class Second : public Form {
 public:
  explicit Second(Program& program) : Form(program, FormDesign{"second"}) {}
  void Load() override { events.push_back("second load"); }
  void Unload() override { events.push_back("second unload"); }
};

// A form with a timer that counts its ticks and stops after a given number.
class Ticker : public Form {
 public:
  explicit Ticker(Program& program) : Form(program, FormDesign{"ticker"}) {}
  Timer timer{*this, 100, true, [this] { Tick(); }};
  static inline int stopAfter = 3;
  static inline int ticks = 0;

 private:
  void Tick() {
    ++ticks;
    events.push_back("tick at " + std::to_string(static_cast<int>(
                                      sim::SimPlatform::Active().ElapsedSeconds() * 1000)));
    if (ticks == stopAfter) program().Unload<Ticker>();
  }
};

// A form whose every close runs a modal dialog (its nested loop runs timers) that may refuse;
// its timer asks for a close every second, also while a dialog is open.
class Prompting : public Form {
 public:
  explicit Prompting(Program& program) : Form(program, FormDesign{"prompting"}) {}
  Timer timer{*this, 1000, true, [this] {
                events.push_back("tick");
                this->program().Unload<Prompting>();
              }};
  void QueryUnload(std::int16_t& cancel) override {
    events.push_back("query");
    if (program().platform().VerifyScreenSavePwd(hWnd()) == 0) cancel = -1;
  }
  void Unload() override { events.push_back("unload"); }
};

class Failing : public Form {
 public:
  explicit Failing(Program& program) : Form(program, FormDesign{"failing"}) {}
  void KeyDown(std::int16_t, std::int16_t) override {
    throw RaisedError(13, "Type mismatch");
  }
};

// A timer, then a control that may fail to be created.
class Hosting : public Form {
 public:
  explicit Hosting(Program& program) : Form(program, FormDesign{"hosting"}) {}
  Timer timer{*this, 100, true, [] {}};
  HostedControl control{*this, hWnd(), ControlDesign{"Missing.Control", {}, {}}, {}};
};

class FormRuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    First::refuse = 0;
    Ticker::ticks = 0;
    Ticker::stopAfter = 3;
  }
  sim::SimPlatform sim;
};

TEST_F(FormRuntimeTest, ProgramEndsWhenEntryReturnsWithNoFormLoaded) {
  const auto result = sim.Run([](Program&) { events.push_back("entry"); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(events, std::vector<std::string>{"entry"});
}

TEST_F(FormRuntimeTest, LoadRunsTheHandlerOnceAndCreatesAHiddenWindow) {
  sim.At(1.0, [&] {
    Hwnd hwnd = sim.windows().FindByText("first");
    ASSERT_NE(hwnd, 0);
    EXPECT_FALSE(sim.windows().Get(hwnd)->visible);
    Program::Current().Load<First>();
    Program::Current().Show<First>();
    EXPECT_TRUE(sim.windows().Get(hwnd)->visible);
    Program::Current().End();
  });
  const auto result = sim.Run([](Program& program) { program.Load<First>(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(events, std::vector<std::string>{"first load"});
}

TEST_F(FormRuntimeTest, HiddenFormKeepsTheProgramAliveUntilItUnloads) {
  const auto result = sim.Run([](Program& program) { program.Load<Ticker>(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(events, (std::vector<std::string>{"tick at 100", "tick at 200", "tick at 300"}));
  EXPECT_EQ(sim.windows().FindByText("ticker"), 0);
}

TEST_F(FormRuntimeTest, CancelledUnloadKeepsTheFormAndTheProgram) {
  First::refuse = -1;
  sim.At(1.0, [&] { sim.ClickCloseBox(sim.windows().FindByText("first")); });
  sim.At(2.0, [&] {
    EXPECT_NE(Program::Current().Find<First>(), nullptr);
    First::refuse = 0;
    sim.ClickCloseBox(sim.windows().FindByText("first"));
  });
  const auto result = sim.Run([](Program& program) { program.Show<First>(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(sim.ElapsedSeconds(), 2.0);
  EXPECT_EQ(events, (std::vector<std::string>{"first load", "first query", "first query",
                                              "first unload"}));
}

TEST_F(FormRuntimeTest, RequestsDuringAnUnloadInProgressAreDropped) {
  sim.passwordAnswers = {{0, 2.5}, {1, 2.5}};  // refused at 3.5, accepted at 6.5
  const auto result = sim.Run([](Program& program) { program.Load<Prompting>(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 6.5);
  EXPECT_EQ(events, (std::vector<std::string>{"tick", "query", "tick", "tick", "tick", "query",
                                              "tick", "tick", "unload"}));
}

TEST_F(FormRuntimeTest, UnloadingOneOfTwoFormsKeepsTheProgramRunning) {
  sim.At(1.0, [&] { sim.ClickCloseBox(sim.windows().FindByText("first")); });
  const auto result = sim.Run(
      [](Program& program) {
        program.Show<First>();
        program.Show<Second>();
      },
      5.0);
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(events, (std::vector<std::string>{"first load", "second load", "first query",
                                              "first unload"}));
}

TEST_F(FormRuntimeTest, EndStopsAtOnceWithoutUnloadEvents) {
  sim.At(1.0, [&] {
    Program::Current().End();
    events.push_back("after end");
  });
  const auto result = sim.Run([](Program& program) {
    program.Show<First>();
    program.Show<Second>();
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(events, (std::vector<std::string>{"first load", "second load"}));
}

TEST_F(FormRuntimeTest, UnhandledFailureShowsTheReportAndEndsWithNonZeroCode) {
  sim.At(1.0, [&] { sim.KeyDown(sim.windows().FindByText("failing"), 65); });
  const auto result = sim.Run([](Program& program) { program.Show<Failing>(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, kRuntimeErrorExitCode);
  ASSERT_EQ(sim.errorReports.size(), 1u);
  EXPECT_EQ(sim.errorReports[0].number, 13);
  EXPECT_EQ(sim.errorReports[0].description, "Type mismatch");
}

TEST_F(FormRuntimeTest, FailureInTheEntryEndsTheProgramWithTheReport) {
  const auto result = sim.Run([](Program& program) {
    program.Show<First>();
    throw RaisedError(6, "Overflow");
  });
  EXPECT_EQ(result.exitCode, kRuntimeErrorExitCode);
  ASSERT_EQ(sim.errorReports.size(), 1u);
  EXPECT_EQ(sim.errorReports[0].description, "Overflow");
}

TEST_F(FormRuntimeTest, ControlThatCannotBeCreatedEndsTheProgramWithTheReport) {
  sim.unavailableProgIds.insert("Missing.Control");
  const auto result = sim.Run([](Program& program) { program.Show<Hosting>(); });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, kRuntimeErrorExitCode);
  ASSERT_EQ(sim.errorReports.size(), 1u);
  EXPECT_EQ(sim.errorReports[0].number, kErrCannotCreateObject);
  EXPECT_EQ(sim.windows().FindByText("hosting"), 0);
}

TEST_F(FormRuntimeTest, TimerRestartsItsIntervalWhenEnabledAgain) {
  Ticker::stopAfter = 2;
  sim.At(0.15, [&] {
    auto& timer = Program::Current().Find<Ticker>()->timer;
    timer.SetEnabled(false);
    timer.SetEnabled(true);
  });
  sim.Run([](Program& program) { program.Load<Ticker>(); });
  EXPECT_EQ(events, (std::vector<std::string>{"tick at 100", "tick at 250"}));
}

TEST_F(FormRuntimeTest, ValuesStartAtZeroForEveryProgram) {
  sim.Run([](Program& program) { program.values().MoveCount = 7; });
  sim.Run([](Program& program) { events.push_back(std::to_string(program.values().MoveCount)); });
  EXPECT_EQ(events, std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace vellomar
