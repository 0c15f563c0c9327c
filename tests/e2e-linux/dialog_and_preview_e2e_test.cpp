// The settings dialog and the preview: the dialog shows at its designed size and a close ends
// the program; the preview fills a window of another program and ends when that window goes.
#include "linux_e2e_support.h"

namespace vellomar::e2e {
namespace {

constexpr auto kStart = 30s;
constexpr auto kEnd = 5s;

TEST(SettingsDialog, ShowsAtItsSizeAndAClosingEndsTheProgram) {
  Settings settings;
  settings.Set("language", "1033");
  Display display;
  Program dialog(settings, {"--config"});
  const Window window = display.WaitForMapped("Screensaver Configurations", kStart);
  ASSERT_NE(window, 0u);
  // 7260 x 5550 twips at 96 dots per inch.
  const XWindowAttributes area = display.Attributes(window);
  EXPECT_EQ(area.width, 484);
  EXPECT_EQ(area.height, 370);
  display.RequestClose(window);
  EXPECT_EQ(dialog.WaitForExit(kEnd), 0);
}

TEST(Preview, FillsTheWindowNamedAndEndsWhenItIsDestroyed) {
  Settings settings;
  Display display;
  const Window pane = display.CreatePane(152, 112);
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", pane);
  Program preview(settings, {"--window-id", id});
  // Embedded, and once the preview has placed its movie, exactly over the pane.
  Window embedded = 0;
  XWindowAttributes area{};
  const auto end = std::chrono::steady_clock::now() + kStart;
  do {
    std::this_thread::sleep_for(50ms);
    embedded = display.MappedChild(pane);
    if (embedded) area = display.Attributes(embedded);
  } while (!(embedded && area.width == 152 && area.height == 112) &&
           std::chrono::steady_clock::now() < end);
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

}  // namespace
}  // namespace vellomar::e2e
