// The purchase page: Space opens buy.htm in a hidden browser, which then asks the guard to close.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_test_support.h"

namespace vellomar {
namespace {

using Strings = std::vector<std::string>;

class PurchasePageTest : public SaverRun {
 protected:
  long BrowserCount() {
    return std::count_if(sim.controls.begin(), sim.controls.end(),
                         [](const auto& control) { return control->progId == kBrowser; });
  }
};

TEST_F(PurchasePageTest, SpaceOpensThePageOnceAndTheSaverEndsASecondLater) {
  KeyAt(1.0, win::kKeySpace);
  KeyAt(1.5, win::kKeySpace);
  CheckAt(1.6, [this] {
    EXPECT_NE(Guard(), 0);
    const sim::SimControl& page = *sim.LastControl(kBrowser);
    EXPECT_FALSE(sim.windows().Get(page.host)->visible);
  });
  ExpectEnded(Run());

  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 2.0);
  EXPECT_EQ(BrowserCount(), 1);
  const sim::SimControl& page = *sim.LastControl(kBrowser);
  EXPECT_EQ(page.calls, (Strings{"Put 555 False", "Invoke 104 file://C:\\Saver\\buy.htm"}));
  EXPECT_EQ(page.design.settings, (decltype(page.design.settings){{"Silent", true}}));
  EXPECT_EQ(page.design.placement.width, 4455);
  EXPECT_EQ(page.design.placement.height, 2175);
  EXPECT_EQ(sim.cursorCount, 6);
}

TEST_F(PurchasePageTest, AnEmptyInstallFolderGivesTheBareFileName) {
  Setting("path", "");
  KeyAt(1.0, win::kKeySpace);
  ExpectEnded(Run());
  EXPECT_EQ(sim.LastControl(kBrowser)->calls.back(), "Invoke 104 file://\\buy.htm");
}

TEST_F(PurchasePageTest, AClickWhileThePageIsOpenEndsTheSaverAtOnce) {
  KeyAt(1.0, win::kKeySpace);
  ClickAt(1.5);
  ExpectEnded(Run());
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 1.5);
  EXPECT_TRUE(sim.LastControl(kBrowser)->destroyed);
}

// On the consumer line with the password on, the guard has hidden the cursor and told the system
// that a saver runs: the report that ends the program must not leave the user blind or locked.
TEST_F(PurchasePageTest, ABrowserThatCannotBeCreatedIsReportedWithTheCursorShownAndNoNotice) {
  PasswordOn();
  sim.unavailableProgIds.insert(kBrowser);
  KeyAt(1.0, win::kKeySpace);
  const sim::RunResult result = Run();
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 1u);
  ASSERT_EQ(sim.errorReports.size(), 1u);
  EXPECT_GE(sim.errorReports[0].cursorCount, 0);
  EXPECT_FALSE(sim.errorReports[0].screenSaverRunning);
}

}  // namespace
}  // namespace vellomar
