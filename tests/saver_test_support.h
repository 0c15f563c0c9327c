// A full-screen saver run on the in-memory platform: "/s" with the install folder set, the
// clock set, and helpers for the settings, the input and the recorded calls.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "runtime/platform_constants.h"
#include "runtime/program.h"
#include "runtime/sim/sim_platform.h"
#include "settings/registry.h"
#include "startup/main.h"
#include "system/platform_facts.h"

namespace vellomar {

class SaverRun : public ::testing::Test {
 protected:
  static constexpr char kFlash[] = "ShockwaveFlash.ShockwaveFlash";
  static constexpr char kBrowser[] = "Shell.Explorer.2";

  SaverRun() {
    sim.commandArgs = "/s";
    sim.SetClock(2024, 5, 1, 36000.0);
    Setting("path", "C:\\Saver");
  }

  void Setting(const std::string& name, const std::string& value) {
    sim.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, name, value);
  }
  // The consumer line with the desktop password switched on.
  void PasswordOn(const std::string& flag = "1") {
    sim.platformId = 1;
    sim.registry().SetString(win::kHKeyCurrentUser, "Control Panel\\Desktop",
                             "ScreenSaveUsePassword", flag);
  }
  void Refuse(double dialogSeconds = 0.0) { sim.passwordAnswers.push_back({0, dialogSeconds}); }

  Hwnd Guard() { return sim.windows().FindByText(kGuardCaption); }
  void KeyAt(double at, std::int16_t key) {
    sim.At(at, [this, key] { sim.KeyDown(Guard(), key); });
  }
  void ClickAt(double at) {
    sim.At(at, [this] { sim.MouseDown(Guard()); });
  }
  void MoveAt(double at, int times = 1) {
    sim.At(at, [this, times] {
      for (int i = 0; i < times; ++i) sim.MouseMove(Guard());
    });
  }
  void CheckAt(double at, const std::function<void()>& check) { sim.At(at, check); }

  sim::RunResult Run() { return sim.Run(Main, 120.0); }
  // The run ended the program itself, normally.
  void ExpectEnded(const sim::RunResult& result) {
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(sim.errorReports.empty());
  }
  long Calls(const std::string& call) {
    return std::count(sim.calls().begin(), sim.calls().end(), call);
  }
  std::int16_t MoveCount() { return Program::Current().values().MoveCount; }

  sim::SimPlatform sim;
};

}  // namespace vellomar
