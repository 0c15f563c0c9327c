// Calls through a control's dispatch interface, by dispatch id, with our values as VARIANTs.
#pragma once

#include "runtime/win32/win32_common.h"

#include <oaidl.h>

#include <string>
#include <vector>

namespace vellomar::win32 {

std::string HexResult(HRESULT hr);

// The caller owns the VARIANT and clears it.
VARIANT ToVariant(const DispValue& value);

struct DispatchOutcome {
  HRESULT result = S_OK;
  std::string description;  // the control's own words, when it gave any
};

// flags: DISPATCH_METHOD, or DISPATCH_PROPERTYPUT with one argument, the new value.
DispatchOutcome InvokeDispatch(IDispatch* dispatch, DISPID id, WORD flags,
                               const std::vector<DispValue>& args);

}  // namespace vellomar::win32
