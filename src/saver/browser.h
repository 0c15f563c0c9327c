// The purchase page: a hidden form whose browser control opens buy.htm from the install folder;
// its timer then asks the input guard to close, every second until it does.
#pragma once

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/hosted_controls.h"
#include "runtime/program.h"

namespace vellomar {

class browser : public Form {
 public:
  explicit browser(Program& program);
  void Load() override;

 private:
  HostedControl WebBrowser1;
  Timer Timer1;
};

}  // namespace vellomar
