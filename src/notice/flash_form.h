// The notice that the screen saver needs the Flash Player, in the configured language. Its only
// outcome is the end of the program.
#pragma once

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class FlashForm : public Form {
 public:
  explicit FlashForm(Program& program);

  void Load() override;
  void Unload() override;

  Label label;
  Button button;
};

}  // namespace vellomar
