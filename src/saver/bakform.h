// The backdrop of the full-screen saver: a black window under the movie whose only work is to
// open the movie window.
#pragma once

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class bakform : public Form {
 public:
  explicit bakform(Program& program);
  void Load() override;
};

}  // namespace vellomar
