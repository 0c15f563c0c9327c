// The hidden form of the preview: its picture box, with the movie in it, is lent to the control
// panel's preview pane for as long as the pane shows it.
#pragma once

#include "movie/flash_control.h"
#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class ControlForm : public Form {
 public:
  explicit ControlForm(Program& program);

  void Load() override;
  void Unload() override;

  PictureBox Picture1;
  FlashControl Flash;
  Timer Timer1;

 private:
  void Timer1Tick();
};

}  // namespace vellomar
