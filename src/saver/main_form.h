// PLACEHOLDER: the form MainForm; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class MainForm : public Form {
 public:
  explicit MainForm(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
