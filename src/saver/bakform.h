// PLACEHOLDER: the form bakform; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class bakform : public Form {
 public:
  explicit bakform(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
