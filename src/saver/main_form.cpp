#include "saver/main_form.h"

#include <optional>

#include "runtime/number_text.h"
#include "runtime/platform_constants.h"
#include "saver/bakform.h"
#include "saver/browser.h"
#include "saver/flashsaver.h"
#include "saver/full_screen_design.h"
#include "saver/guard_settings.h"
#include "settings/registry.h"
#include "system/platform_facts.h"

namespace vellomar {

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
// A move this many seconds after the window opened starts counting afresh.
constexpr double kMoveWindowSeconds = 10;
// The cursor display counts at which the hiding and showing loops stop.
constexpr std::int32_t kHiddenAbove = -5;
constexpr std::int32_t kShownBelow = 5;

// The guard takes every key, Alt among them, as a reason to end the saver, and keeps the keyboard
// while the saver runs, whatever other window (another program's, the purchase page's) comes up.
FormDesign GuardDesign() {
  FormDesign design = EveryMonitorDesign(kGuardCaption);
  design.systemKeysArePresses = true;
  design.holdsForeground = true;
  return design;
}

}  // namespace

MainForm::MainForm(Program& program) : Form(program, GuardDesign()) {}

bool MainForm::PasswordRuleHolds() {
  const ProgramValues& values = program().values();
  return values.PlatformId != static_cast<std::int32_t>(win::kVerPlatformWin32Nt) &&
         values.UsePassword != 0;
}

void MainForm::NotifySaverRunning(std::uint32_t running) {
  std::int32_t previous = 0;
  program().platform().SystemParametersInfoA(win::kSpiSetScreenSaverRunning, running, &previous,
                                             0);
}

void MainForm::HideCursor() {
  while (program().platform().ShowCursor(0) >= kHiddenAbove) {
  }
}

void MainForm::RevealCursor() {
  while (program().platform().ShowCursor(1) <= kShownBelow) {
  }
}

void MainForm::RestoreSystem() {
  RevealCursor();
  if (PasswordRuleHolds()) NotifySaverRunning(0);
}

void MainForm::Close() { program().Unload<MainForm>(); }

void MainForm::Load() {
  Platform& platform = program().platform();
  platform.SetWindowPos(hWnd(), win::kHwndNoTopmost, 0, 0, 0, 0,
                        win::kSwpNoSize | win::kSwpNoMove | win::kSwpFrameChanged);
  platform.SetWindowLongA(hWnd(), win::kGwlExStyle, win::kWsExTransparent);
  platform.SetWindowPos(hWnd(), win::kHwndTopmost, 0, 0, 0, 0,
                        win::kSwpNoSize | win::kSwpNoMove);
  program().values().UsePassword = UsePasswordOf(
      ReadUserValue(platform, win::kHKeyCurrentUser, kDesktopKey, "ScreenSaveUsePassword"));
  GetPlatformId(program());
  if (PasswordRuleHolds()) NotifySaverRunning(1);
  HideCursor();
}

void MainForm::KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  if (keyCode == win::kKeySpace) {
    program().Load<browser>();
  } else {
    Close();
  }
}

void MainForm::MouseDown() { Close(); }

void MainForm::MouseMove() {
  Platform& platform = program().platform();
  ProgramValues& values = program().values();
  const std::int16_t threshold = MoveThresholdOf(
      RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "mouse"));
  values.MoveCount = static_cast<std::int16_t>(values.MoveCount + 1);  // wraps at 16 bits
  if (values.MoveCount == threshold) Close();

  // Still open: the close was refused or not asked for.
  const double clock = platform.SecondsSinceMidnight();
  if (MoveWindowStart == 0) {
    MoveWindowStart = CheckedInt32(clock);
  } else if (clock - MoveWindowStart > kMoveWindowSeconds) {
    MoveWindowStart = 0;
    values.MoveCount = 0;
  }
}

void MainForm::QueryUnload(std::int16_t& cancel) {
  if (!PasswordRuleHolds()) return;
  RevealCursor();
  // While the dialog is open, the runtime drops further close requests (the purchase page's
  // timer): the open dialog alone decides.
  const std::optional<std::int32_t> verdict =
      program().platform().VerifyScreenSavePwd(hWnd());
  // A system without a verifier lets the close go on rather than lock the user out.
  if (!verdict || static_cast<std::uint16_t>(*verdict) != 0) return;
  HideCursor();
  cancel = kTrue;
}

void MainForm::BeforeErrorReport() { RestoreSystem(); }

void MainForm::Unload() {
  RestoreSystem();
  program().Unload<Flashsaver>();
  program().Unload<bakform>();
  program().End();
}

}  // namespace vellomar
