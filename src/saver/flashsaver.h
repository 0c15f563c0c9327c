// The movie window of the full-screen saver: top-most, the movie stretched over the screen in
// the saver role; its timer then opens the input guard.
#pragma once

#include "movie/flash_control.h"
#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class Flashsaver : public Form {
 public:
  explicit Flashsaver(Program& program);
  void Load() override;

 private:
  void Timer1Tick();

  // The movie control first: should it fail to come up, no sibling is left registered.
  FlashControl Flash;
  Timer Timer1;
};

}  // namespace vellomar
