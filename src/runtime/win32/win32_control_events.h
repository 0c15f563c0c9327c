// Which of a control's outgoing interfaces carries its events.
#pragma once

#include "runtime/win32/win32_common.h"

#include <optional>

namespace vellomar::win32 {

// The default source interface that the control's class information names, or else that its
// coclass names in its registered type library; nothing when neither can tell.
std::optional<IID> DefaultSourceInterface(IUnknown* control, REFCLSID classId);

}  // namespace vellomar::win32
