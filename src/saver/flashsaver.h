// PLACEHOLDER: the form Flashsaver; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class Flashsaver : public Form {
 public:
  explicit Flashsaver(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
