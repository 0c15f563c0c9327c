// The Flash Player notice: whole runs of "/f" on the in-memory platform.
#include <gtest/gtest.h>

#include <string>

#include "notice/flash_form.h"
#include "runtime/platform_constants.h"
#include "runtime/sim/sim_platform.h"
#include "settings/language_table.h"
#include "settings/registry.h"
#include "startup/main.h"

namespace vellomar {
namespace {

class FlashNoticeTest : public ::testing::Test {
 protected:
  FlashNoticeTest() { sim.commandArgs = "/f"; }

  // The notice as it stands while open: caption, label and button texts.
  struct Seen {
    std::string caption = "(not seen)";
    std::string label = "(not seen)";
    std::string button = "(not seen)";
    bool visible = false;
  };
  Seen RunAndLook(const std::string& language) {
    sim::SimPlatform run;
    run.commandArgs = "/f";
    run.registry().SetString(win::kHKeyLocalMachine, kSettingsKey, "language", language);
    Seen seen;
    run.At(0.5, [&] {
      const sim::SimWindow& form = *run.windows().Get(Program::Current().Find<FlashForm>()->hWnd());
      seen.caption = form.text;
      seen.visible = form.visible;
      for (Hwnd child : run.windows().Children(form.handle)) {
        const sim::SimWindow& window = *run.windows().Get(child);
        if (window.kind == "label") seen.label = window.text;
        if (window.kind == "button") seen.button = window.text;
      }
    });
    const sim::RunResult result = run.Run(Main, 1.0);
    EXPECT_FALSE(result.exited);
    return seen;
  }

  Hwnd FindChild(Hwnd form, const std::string& kind) {
    for (Hwnd child : sim.windows().Children(form)) {
      if (sim.windows().Get(child)->kind == kind) return child;
    }
    return 0;
  }
  Hwnd Notice() { return Program::Current().Find<FlashForm>()->hWnd(); }

  sim::SimPlatform sim;
};

TEST_F(FlashNoticeTest, SpanishAndPortugueseNotices) {
  EXPECT_EQ(RunAndLook("3082").label,
            "Este Screensaver requiere la \u00faltima versi\u00f3n del Flash Player. El Flash "
            "Player ahora se instalar\u00e1 en su computadora. Por favor \"Yes\" de respuesta "
            "cuando usted es incitado a instalar el Flash Player.");
  EXPECT_EQ(RunAndLook("1046").label,
            "Este Screensaver exige a \u00faltima vers\u00e3o do Flash Player. O Flash Player "
            "agora estar\u00e1 instalado em seu computador. Por favor \"Yes\" de resposta quando "
            "s\u00e3o incitados instalar o Flash Player.");
}

TEST_F(FlashNoticeTest, EachLanguageShowsItsNoticeUnderTheSameCaption) {
  for (const char* language : {"1043", "1033", "1036", "1031", "1040", "1046", "3082"}) {
    SCOPED_TRACE(language);
    const Seen seen = RunAndLook(language);
    EXPECT_EQ(seen.label, LookUpLanguage(language)->flashNotice);
    EXPECT_EQ(seen.caption, "Screensaver Setup");
    EXPECT_EQ(seen.button, "OK");
    EXPECT_TRUE(seen.visible);
  }
}

TEST_F(FlashNoticeTest, UnknownLanguageLeavesTheLabelEmpty) {
  for (const char* language : {"", "2057", "1033 ", " 1033", "01033"}) {
    SCOPED_TRACE(std::string("[") + language + "]");
    const Seen seen = RunAndLook(language);
    EXPECT_EQ(seen.label, "");
    EXPECT_EQ(seen.caption, "Screensaver Setup");
    EXPECT_EQ(seen.button, "OK");
  }
}

TEST_F(FlashNoticeTest, OkEndsTheProgram) {
  sim.At(0.5, [&] { sim.ClickButton(FindChild(Notice(), "button")); });
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.5);
  EXPECT_TRUE(sim.errorReports.empty());
}

TEST_F(FlashNoticeTest, AltF4EndsTheProgram) {
  sim.At(0.5, [&] { sim.SysKeyDown(Notice(), win::kKeyF4); });
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.5);
}

TEST_F(FlashNoticeTest, CloseBoxEndsTheProgram) {
  sim.At(0.5, [&] { sim.ClickCloseBox(Notice()); });
  const sim::RunResult result = sim.Run(Main, 5.0);

  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_DOUBLE_EQ(sim.ElapsedSeconds(), 0.5);
  EXPECT_TRUE(sim.errorReports.empty());
}

}  // namespace
}  // namespace vellomar
