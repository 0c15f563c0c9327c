// The full-screen saver started and ended by a key many times in a row: every run shows its three
// windows with the cursor hidden, ends with code 0 and leaves no saver process behind. 200 cycles
// by default; VELLOMAR_SOAK_CYCLES sets another count (a quick look, or a longer soak).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr int kDefaultCycles = 200;

int Cycles() {
  const char* text = std::getenv("VELLOMAR_SOAK_CYCLES");
  const int cycles = text ? std::atoi(text) : kDefaultCycles;
  return cycles > 0 ? cycles : kDefaultCycles;
}

class Soak : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteUsualSettings(folder_);
    ASSERT_TRUE(ProcessesNamed(L"vellomar.scr").empty()) << "a saver is left from before";
  }
  void TearDown() override { RemoveFolder(folder_); }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"soak");
  Standin standin_{folder_};
};

TEST_F(Soak, StartKeyExitCyclesEachHideTheCursorAndEnd) {
  const int cycles = Cycles();
  const double soakBegin = NowMs();
  std::vector<double> cycleMs;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const double begin = NowMs();
    {
      Process saver(L"/s", standin_.Env());
      ASSERT_TRUE(saver.started()) << "cycle " << cycle;
      HWND guard = WaitForGuard(saver, kTimeoutMs);
      ASSERT_NE(guard, nullptr) << "cycle " << cycle << ": no guard";
      // Checked while the saver runs: what a run leaves dies with its process anyway.
      ASSERT_EQ(ProcessesNamed(L"vellomar.scr"), std::vector<DWORD>{saver.id()})
          << "cycle " << cycle;
      ASSERT_EQ(FormWindows(saver.id()).size(), 3u) << "cycle " << cycle;
      ASSERT_EQ(AllFormWindows().size(), 3u) << "cycle " << cycle << ": windows of another run";
      ASSERT_FALSE(CursorShowing()) << "cycle " << cycle << ": the cursor shows while it runs";
      PostKey(guard, static_cast<WORD>('A' + cycle % 26));
      ASSERT_TRUE(saver.WaitForExit(kTimeoutMs)) << "cycle " << cycle << ": the key did not end it";
      ASSERT_EQ(saver.ExitCode(), 0u) << "cycle " << cycle;
    }
    ASSERT_TRUE(ProcessesNamed(L"vellomar.scr").empty())
        << "cycle " << cycle << ": a saver remains";
    cycleMs.push_back(NowMs() - begin);
  }
  ReportMedian("soak_cycle_ms", cycleMs);
  std::printf("[ measured ] %d cycles in %.1f s\n", cycles, (NowMs() - soakBegin) / 1000.0);
}

}  // namespace
}  // namespace e2e
