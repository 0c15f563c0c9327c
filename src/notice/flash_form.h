// PLACEHOLDER: the form FlashForm; its owner replaces this file.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class FlashForm : public Form {
 public:
  explicit FlashForm(Program& program) : Form(program, FormDesign{}) {}
};

}  // namespace vellomar
