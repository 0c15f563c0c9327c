// PLACEHOLDER: the form ControlForm; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class ControlForm : public Form {
 public:
  explicit ControlForm(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
