// PLACEHOLDER: the form browser; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class browser : public Form {
 public:
  explicit browser(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
