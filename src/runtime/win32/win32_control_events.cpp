#include "runtime/win32/win32_control_events.h"

#include <ocidl.h>
#include <olectl.h>

#include <cwchar>
#include <string>

#include "runtime/win32/win32_com_ptr.h"

namespace vellomar::win32 {

namespace {

std::optional<IID> DefaultSourceOf(ITypeInfo* coclass) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(coclass->GetTypeAttr(&attributes))) return std::nullopt;
  const bool isCoclass = attributes->typekind == TKIND_COCLASS;
  const WORD implemented = attributes->cImplTypes;
  coclass->ReleaseTypeAttr(attributes);
  if (!isCoclass) return std::nullopt;
  constexpr INT kDefaultSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
  for (UINT i = 0; i < implemented; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> source;
    if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
        (flags & kDefaultSource) != kDefaultSource ||
        FAILED(coclass->GetRefTypeOfImplType(i, &reference)) ||
        FAILED(coclass->GetRefTypeInfo(reference, source.Address())) ||
        FAILED(source->GetTypeAttr(&attributes))) {
      continue;
    }
    const IID id = attributes->guid;
    source->ReleaseTypeAttr(attributes);
    return id;
  }
  return std::nullopt;
}

std::optional<IID> FromClassInfo(IUnknown* control) {
  ComPtr<IProvideClassInfo2> named;
  IID id;
  if (SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2, named.Out())) &&
      SUCCEEDED(named->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &id))) {
    return id;
  }
  ComPtr<IProvideClassInfo> info;
  ComPtr<ITypeInfo> coclass;
  if (FAILED(control->QueryInterface(IID_IProvideClassInfo, info.Out())) ||
      FAILED(info->GetClassInfo(coclass.Address())) || !coclass) {
    return std::nullopt;
  }
  return DefaultSourceOf(coclass.Get());
}

// The default value of a key under HKEY_CLASSES_ROOT; empty when there is none.
std::wstring ClassesText(const std::wstring& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return {};
  }
  wchar_t text[64] = {};
  DWORD size = sizeof(text) - sizeof(wchar_t);
  DWORD type = REG_NONE;
  const LONG status =
      RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(text) : std::wstring();
}

std::optional<IID> FromRegisteredTypeLibrary(REFCLSID classId) {
  wchar_t classText[40] = {};
  if (StringFromGUID2(classId, classText, 40) == 0) return std::nullopt;
  const std::wstring classKey = std::wstring(L"CLSID\\") + classText;
  std::wstring libraryText = ClassesText(classKey + L"\\TypeLib");
  GUID library;
  if (libraryText.empty() || FAILED(CLSIDFromString(libraryText.data(), &library))) {
    return std::nullopt;
  }
  // Versions are written as hexadecimal major.minor; 1.0 when the class names none.
  unsigned long major = 1, minor = 0;
  const std::wstring version = ClassesText(classKey + L"\\Version");
  if (!version.empty()) {
    wchar_t* end = nullptr;
    major = std::wcstoul(version.c_str(), &end, 16);
    minor = *end == L'.' ? std::wcstoul(end + 1, nullptr, 16) : 0;
  }
  ComPtr<ITypeLib> types;
  ComPtr<ITypeInfo> coclass;
  if (FAILED(LoadRegTypeLib(library, static_cast<WORD>(major), static_cast<WORD>(minor), 0,
                            types.Address())) ||
      FAILED(types->GetTypeInfoOfGuid(classId, coclass.Address()))) {
    return std::nullopt;
  }
  return DefaultSourceOf(coclass.Get());
}

}  // namespace

std::optional<IID> DefaultSourceInterface(IUnknown* control, REFCLSID classId) {
  if (std::optional<IID> named = FromClassInfo(control)) return named;
  return FromRegisteredTypeLibrary(classId);
}

}  // namespace vellomar::win32
