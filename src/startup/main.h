// The program's entry: reads the switch and opens the window set of the chosen mode.
#pragma once

#include "runtime/program.h"

namespace vellomar {

void Main(Program& program);

}  // namespace vellomar
