#include "saver/bakform.h"

#include "saver/flashsaver.h"
#include "saver/full_screen_design.h"

namespace vellomar {

bakform::bakform(Program& program) : Form(program, EveryMonitorDesign("")) {}

void bakform::Load() {
  program().Load<Flashsaver>();
  program().Show<Flashsaver>();
}

}  // namespace vellomar
