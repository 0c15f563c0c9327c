// PLACEHOLDER: the form Configuration; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class Configuration : public Form {
 public:
  explicit Configuration(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
