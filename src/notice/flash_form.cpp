#include "notice/flash_form.h"

#include <string>

#include "runtime/platform_constants.h"
#include "settings/language_table.h"
#include "settings/registry.h"

namespace vellomar {

namespace {

FormDesign FlashFormDesign() {
  // The light grey of dialog faces, so that the notice reads as a dialog.
  FormDesign design = DialogDesign(4575, 2175, 0x00F0F0F0);
  design.caption = "Screensaver Setup";
  return design;
}

}  // namespace

FlashForm::FlashForm(Program& program)
    : Form(program, FlashFormDesign()),
      label(*this, Placement{120, 120, 4335, 1335}, FontDesign{"MS Sans Serif", 9.75}),
      button(*this, Placement{1800, 1680, 975, 375}, "OK", [this] { this->program().End(); }) {}

void FlashForm::Load() {
  const std::string language =
      RegistryReadValue(program().platform(), win::kHKeyLocalMachine, kSettingsKey, "language");
  if (const LanguageRow* row = LookUpLanguage(language)) {
    label.SetCaption(std::string(row->flashNotice));
  }
}

// However the window is closed, the program goes with it.
void FlashForm::Unload() { program().End(); }

}  // namespace vellomar
