// Handing a hosted control its design-time settings, as containers hand over saved properties.
#pragma once

#include "runtime/win32/win32_common.h"

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

namespace vellomar::win32 {

using ControlSettings = std::vector<std::pair<std::string, DispValue>>;

// Initialises a freshly created control. With settings, a control that keeps a property bag
// loads them from one of ours; any other control is initialised new and then gets a property
// put for each setting that its type information lists as a writable property. A setting the
// control does not know or refuses is skipped: the control plays without it.
void InitialiseControl(IOleObject* object, IDispatch* dispatch, const ControlSettings& settings);

}  // namespace vellomar::win32
