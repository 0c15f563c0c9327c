#include "runtime/win32/win32_control_settings.h"

#include "runtime/win32/win32_com_object.h"
#include "runtime/win32/win32_com_ptr.h"
#include "runtime/win32/win32_dispatch.h"

namespace vellomar::win32 {

namespace {

// Our settings under their names, as a control reads its saved properties during Load.
class SettingsBag final : public ComObject<IPropertyBag> {
 public:
  explicit SettingsBag(const ControlSettings& settings) {
    for (const auto& [name, value] : settings) held_.push_back({Widen(name), ToVariant(value)});
  }

  // A control that names the type it wants gets the value in that type, or E_FAIL.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    if (!name || !value) return E_POINTER;
    Setting* setting = Find(name);
    if (!setting) return E_INVALIDARG;
    const VARTYPE wanted = V_VT(value);
    VariantInit(value);
    if (wanted == VT_EMPTY) return VariantCopy(value, &setting->value);
    return SUCCEEDED(VariantChangeTypeEx(value, &setting->value, LOCALE_INVARIANT, 0, wanted))
               ? S_OK
               : E_FAIL;
  }

  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    if (!name || !value) return E_POINTER;
    Setting* setting = Find(name);
    if (!setting) {
      held_.push_back({name, {}});
      setting = &held_.back();
      VariantInit(&setting->value);
    }
    return VariantCopy(&setting->value, value);
  }

 private:
  struct Setting {
    std::wstring name;
    VARIANT value;
  };

  ~SettingsBag() override {
    for (Setting& setting : held_) VariantClear(&setting.value);
  }
  void* Interface(REFIID riid) override {
    return riid == IID_IPropertyBag ? static_cast<IPropertyBag*>(this) : nullptr;
  }

  Setting* Find(LPCOLESTR name) {
    for (Setting& setting : held_) {
      if (lstrcmpiW(setting.name.c_str(), name) == 0) return &setting;
    }
    return nullptr;
  }

  std::vector<Setting> held_;
};

std::wstring MemberName(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) || !name) return {};
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

// A coclass stands for its default incoming interface.
void ToDispatchView(ComPtr<ITypeInfo>& info) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return;
  const bool coclass = attributes->typekind == TKIND_COCLASS;
  const WORD implemented = attributes->cImplTypes;
  info->ReleaseTypeAttr(attributes);
  if (!coclass) return;
  int chosen = -1;
  for (UINT i = 0; i < implemented; ++i) {
    INT flags = 0;
    if (FAILED(info->GetImplTypeFlags(i, &flags)) || (flags & IMPLTYPEFLAG_FSOURCE)) continue;
    if (chosen < 0 || (flags & IMPLTYPEFLAG_FDEFAULT)) chosen = static_cast<int>(i);
    if (flags & IMPLTYPEFLAG_FDEFAULT) break;
  }
  HREFTYPE reference = 0;
  ComPtr<ITypeInfo> incoming;
  if (chosen < 0 || FAILED(info->GetRefTypeOfImplType(chosen, &reference)) ||
      FAILED(info->GetRefTypeInfo(reference, incoming.Address()))) {
    info.Reset();
    return;
  }
  info.Attach(incoming.Detach());
}

struct ListedProperty {
  std::wstring name;
  MEMBERID id;
};

// What the control's type information lists as writable properties; nothing when it has none.
std::vector<ListedProperty> WritableProperties(IDispatch* dispatch) {
  UINT count = 0;
  ComPtr<ITypeInfo> info;
  if (FAILED(dispatch->GetTypeInfoCount(&count)) || count == 0 ||
      FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Address())) || !info) {
    return {};
  }
  ToDispatchView(info);
  TYPEATTR* attributes = nullptr;
  if (!info || FAILED(info->GetTypeAttr(&attributes))) return {};
  const WORD functions = attributes->cFuncs;
  const WORD variables = attributes->cVars;
  info->ReleaseTypeAttr(attributes);

  std::vector<ListedProperty> listed;
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    if (function->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) {
      listed.push_back({MemberName(info.Get(), function->memid), function->memid});
    }
    info->ReleaseFuncDesc(function);
  }
  for (UINT i = 0; i < variables; ++i) {
    VARDESC* variable = nullptr;
    if (FAILED(info->GetVarDesc(i, &variable))) continue;
    if (variable->varkind == VAR_DISPATCH && !(variable->wVarFlags & VARFLAG_FREADONLY)) {
      listed.push_back({MemberName(info.Get(), variable->memid), variable->memid});
    }
    info->ReleaseVarDesc(variable);
  }
  return listed;
}

}  // namespace

void InitialiseControl(IOleObject* object, IDispatch* dispatch, const ControlSettings& settings) {
  ComPtr<IPersistPropertyBag> bagged;
  object->QueryInterface(IID_IPersistPropertyBag, bagged.Out());
  if (bagged && !settings.empty()) {
    SettingsBag* bag = new SettingsBag(settings);
    // A control that cannot load them starts from its own defaults.
    if (FAILED(bagged->Load(bag, nullptr))) bagged->InitNew();
    bag->Release();
    return;
  }
  ComPtr<IPersistStreamInit> stream;
  if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, stream.Out()))) {
    stream->InitNew();
  } else if (bagged) {
    bagged->InitNew();
  }
  if (settings.empty()) return;

  // Never a put on a method or on a name the control does not list; a refused put is skipped.
  const std::vector<ListedProperty> listed = WritableProperties(dispatch);
  for (const auto& [name, value] : settings) {
    const std::wstring wide = Widen(name);
    for (const ListedProperty& property : listed) {
      if (lstrcmpiW(property.name.c_str(), wide.c_str()) != 0) continue;
      InvokeDispatch(dispatch, property.id, DISPATCH_PROPERTYPUT, {value});
      break;
    }
  }
}

}  // namespace vellomar::win32
