// The stand-in's persistence and class information: IPersistStreamInit and IPersistPropertyBag
// as their rules have it (initialised once; a bag gives each setting in the type asked for), and
// IProvideClassInfo2 from the registered type library.
#include "standin.h"

namespace standin {

HRESULT Control::BeginInit(const wchar_t* what)
{
    if (initialised_) {
        Log(std::wstring(L"refuse persist ") + what + L" " + HrText(E_UNEXPECTED));
        return E_UNEXPECTED;
    }
    initialised_ = true;
    Log(std::wstring(L"persist ") + what);
    return S_OK;
}

STDMETHODIMP Control::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = kClsid;
    return S_OK;
}

STDMETHODIMP Control::IsDirty() { return S_FALSE; }

// The stream holds nothing of this control's: Save writes nothing, Load reads nothing.
STDMETHODIMP Control::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    return BeginInit(L"Load stream");
}

STDMETHODIMP Control::Save(LPSTREAM stream, BOOL) { return stream ? S_OK : E_POINTER; }

STDMETHODIMP Control::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

STDMETHODIMP Control::InitNew() { return BeginInit(L"InitNew"); }

STDMETHODIMP Control::Load(IPropertyBag* bag, IErrorLog* errors)
{
    if (!bag)
        return E_POINTER;
    HRESULT hr = BeginInit(L"Load bag");
    if (FAILED(hr))
        return hr;
    for (const Setting& s : Settings()) {
        // Asks for the type it keeps, as controls do: the bag has to convert.
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = s.type;
        hr = bag->Read(s.name, &v, errors);
        if (hr == E_INVALIDARG)
            continue;  // not in the bag
        if (SUCCEEDED(hr) && V_VT(&v) != s.type)
            hr = DISP_E_TYPEMISMATCH;
        if (FAILED(hr)) {
            Log(std::wstring(L"bag-fail ") + s.name + L" " + HrText(hr));
            VariantClear(&v);
            continue;
        }
        std::wstring text = ValueText(v);
        VariantClear(&v);
        if (ShouldFail(s.name)) {
            Log(std::wstring(L"fail bag ") + s.name + L" " + text);
            continue;
        }
        Log(std::wstring(L"bag ") + s.name + L" " + text);
        settings_[s.name] = text;
    }
    Changed();
    return S_OK;
}

STDMETHODIMP Control::Save(IPropertyBag* bag, BOOL, BOOL)
{
    if (!bag)
        return E_POINTER;
    for (const auto& [name, text] : settings_) {
        const Setting* s = FindSetting(name);
        if (!s)
            continue;
        VARIANT v;
        VariantInit(&v);
        if (s->type == VT_BOOL) {
            V_VT(&v) = VT_BOOL;
            V_BOOL(&v) = text == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
        } else {
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
        HRESULT hr = bag->Write(s->name, &v);
        VariantClear(&v);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

STDMETHODIMP Control::GetClassInfo(ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    HRESULT hr = LoadCoclassInfo(info);
    Log(L"classinfo GetClassInfo" + (FAILED(hr) ? L" " + HrText(hr) : std::wstring()));
    return hr;
}

STDMETHODIMP Control::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    Log(L"classinfo GetGUID " + std::to_wstring(kind));
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = kEventsIid;
    return S_OK;
}

}  // namespace standin
