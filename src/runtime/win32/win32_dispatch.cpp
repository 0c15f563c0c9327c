#include "runtime/win32/win32_dispatch.h"

namespace vellomar::win32 {

std::string HexResult(HRESULT hr) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

VARIANT ToVariant(const DispValue& value) {
  VARIANT variant;
  VariantInit(&variant);
  if (const bool* flag = std::get_if<bool>(&value)) {
    V_VT(&variant) = VT_BOOL;
    V_BOOL(&variant) = *flag ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) {
    V_VT(&variant) = VT_I4;
    V_I4(&variant) = *number;
  } else {
    const std::wstring text = Widen(std::get<std::string>(value));
    V_VT(&variant) = VT_BSTR;
    V_BSTR(&variant) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  return variant;
}

DispatchOutcome InvokeDispatch(IDispatch* dispatch, DISPID id, WORD flags,
                               const std::vector<DispValue>& args) {
  // Arguments travel last first.
  std::vector<VARIANT> reversed;
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) reversed.push_back(ToVariant(*arg));
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  DispatchOutcome outcome;
  outcome.result = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, nullptr,
                                    &exception, nullptr);
  for (VARIANT& variant : reversed) VariantClear(&variant);
  if (outcome.result == DISP_E_EXCEPTION && exception.pfnDeferredFillIn) {
    exception.pfnDeferredFillIn(&exception);
  }
  if (exception.bstrDescription) outcome.description = Narrow(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

}  // namespace vellomar::win32
