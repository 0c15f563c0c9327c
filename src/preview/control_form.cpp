#include "preview/control_form.h"

#include <string>

#include "movie/movie_file.h"
#include "preview/preview_window.h"
#include "runtime/number_text.h"
#include "runtime/platform_constants.h"
#include "settings/registry.h"
#include "system/log_error.h"

namespace vellomar {

namespace {

FormDesign ControlFormDesign() {
  FormDesign design;
  design.border = BorderStyle::None;
  design.showInTaskbar = false;
  design.minButton = false;
  design.maxButton = false;
  return design;
}

// Design-time placements; the load replaces them with the pane's.
constexpr Placement kPictureDesign{0, 0, 4800, 3600};
constexpr Placement kFlashDesign{120, 120, 4560, 3360};
// Pure blue (0x00BBGGRR), seen wherever the movie does not paint.
constexpr std::uint32_t kPictureBackColor = 0x00FF0000;
constexpr std::uint32_t kTickMs = 100;

// Pixels to twips in the 32-bit arithmetic of the form's coordinates; overflow raises.
std::int32_t PixelsToTwips(std::int32_t low, std::int32_t high, std::int16_t twipsPerPixel) {
  const std::int32_t pixels = CheckedInt32(static_cast<double>(high) - low);
  return CheckedInt32(static_cast<double>(pixels) * twipsPerPixel);
}

}  // namespace

ControlForm::ControlForm(Program& program)
    : Form(program, ControlFormDesign()),
      Picture1(*this, kPictureDesign, kPictureBackColor),
      Flash(*this, Picture1.hWnd(), kFlashDesign, MovieMenu::Off),
      Timer1(*this, kTickMs, true, [this] { Timer1Tick(); }) {}

void ControlForm::Load() {
  Platform& platform = program().platform();
  ProgramValues& values = program().values();
  Guarded(platform, [&] {
    HookPreviewWindow(program(), Picture1.hWnd());
    platform.GetClientRect(values.PreviewParent, &values.PreviewRect);
    const Rect& rect = values.PreviewRect;
    Picture1.Move(0, 0, PixelsToTwips(rect.left, rect.right, values.TwipsPerPixelX),
                  PixelsToTwips(rect.top, rect.bottom, values.TwipsPerPixelY));
    platform.SetParent(Picture1.hWnd(), values.PreviewParent);
    values.PreviewActive = kTrue;
    const std::string path =
        RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "path");
    Flash.SetTop(0);
    Flash.SetLeft(0);
    Flash.SetWidth(Picture1.Width());
    Flash.SetHeight(Picture1.Height());
    Flash.SetMovie(MovieFile(path, platform.ExeName()));
    Flash.SetVariable("routine", "p");
    Flash.Play();
  });
}

void ControlForm::Timer1Tick() {
  const ProgramValues& values = program().values();
  // Polled on every tick: the pane may go without a close reaching the picture box.
  const std::int32_t alive = program().platform().IsWindow(values.PreviewParent);
  if (values.PreviewActive != kTrue || alive == 0) program().Unload<ControlForm>();
}

void ControlForm::Unload() { UnhookPreviewWindow(program(), Picture1.hWnd()); }

}  // namespace vellomar
