// Whole full-screen runs from the command line to the end of the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_test_support.h"

namespace vellomar {
namespace {

using Strings = std::vector<std::string>;

class SaverScenarioTest : public SaverRun {
 protected:
  // The cursor, notification and password calls, with repeats folded: "ShowCursor(0) x6".
  Strings GuardTranscript() {
    Strings transcript;
    std::string last;
    int repeats = 0;
    auto flush = [&] {
      if (repeats == 0) return;
      transcript.push_back(last + (repeats > 1 ? " x" + std::to_string(repeats) : ""));
    };
    for (const std::string& call : sim.calls()) {
      if (call.rfind("ShowCursor", 0) != 0 && call.rfind("SystemParametersInfoA", 0) != 0 &&
          call.rfind("VerifyScreenSavePwd", 0) != 0) {
        continue;
      }
      if (call == last) {
        ++repeats;
        continue;
      }
      flush();
      last = call;
      repeats = 1;
    }
    flush();
    return transcript;
  }
};

TEST_F(SaverScenarioTest, RefusedThenVerifiedPasswordOnTheConsumerLine) {
  PasswordOn();
  Refuse();
  Hwnd guard = 0;
  KeyAt(1.0, 65);
  CheckAt(1.5, [&] {
    guard = Guard();
    EXPECT_EQ(sim.cursorCount, -6);
  });
  ClickAt(2.0);
  ExpectEnded(Run());

  const std::string verify = "VerifyScreenSavePwd(" + std::to_string(guard) + ")";
  EXPECT_EQ(GuardTranscript(),
            (Strings{"SystemParametersInfoA(97,1,0)", "ShowCursor(0) x6",  // load
                     "ShowCursor(1) x12", verify, "ShowCursor(0) x12",     // refused
                     "ShowCursor(1) x12", verify, "ShowCursor(1)",         // verified
                     "SystemParametersInfoA(97,0,0)"}));
  EXPECT_EQ(sim.cursorCount, 7);
  EXPECT_FALSE(sim.screenSaverRunning);
  EXPECT_EQ(sim.windows().FindByText("Form1"), 0);
  EXPECT_EQ(sim.windows().FindByText(kGuardCaption), 0);
}

TEST_F(SaverScenarioTest, ASecondStartWhileAGuardExistsEndsAtOnce) {
  sim.CreateForeignWindow(kGuardCaption, 1024, 768);
  ExpectEnded(Run());
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.0);
  EXPECT_TRUE(sim.controls.empty());
  EXPECT_EQ(sim.cursorCount, 0);
}

}  // namespace
}  // namespace vellomar
