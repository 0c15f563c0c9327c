// The stand-in's automation side: IDispatch over the mode's member table, refusing what a real
// control's dispatch refuses, with the same errors.
#include "standin.h"

namespace standin {
namespace {

// How a refused call was made, for its log line.
const wchar_t* How(const Member* m, WORD flags)
{
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return L"put";
    if (m && !m->IsMethod() && (flags & DISPATCH_PROPERTYGET))
        return L"get";
    return (flags & DISPATCH_METHOD) ? L"call" : L"get";
}

// A method's arguments in parameter order: positional ones come last in rgvarg, named ones by
// their parameter's index.
HRESULT Arrange(const Member& m, const DISPPARAMS& p, std::vector<const VARIANT*>& args, UINT* arg_err)
{
    if (p.cNamedArgs > p.cArgs || (p.cNamedArgs && !p.rgdispidNamedArgs) || (p.cArgs && !p.rgvarg))
        return E_INVALIDARG;
    if (p.cArgs != m.params.size())
        return DISP_E_BADPARAMCOUNT;
    args.assign(m.params.size(), nullptr);
    UINT positional = p.cArgs - p.cNamedArgs;
    for (UINT i = 0; i < positional; ++i)
        args[i] = &p.rgvarg[p.cArgs - 1 - i];
    for (UINT i = 0; i < p.cNamedArgs; ++i) {
        DISPID n = p.rgdispidNamedArgs[i];
        if (n < 0 || static_cast<size_t>(n) >= args.size() || args[static_cast<size_t>(n)]) {
            if (arg_err)
                *arg_err = i;
            return DISP_E_PARAMNOTFOUND;
        }
        args[static_cast<size_t>(n)] = &p.rgvarg[i];
    }
    return S_OK;
}

// Index in rgvarg of parameter n, for puArgErr.
UINT ArgIndex(const DISPPARAMS& p, const std::vector<const VARIANT*>& args, size_t n)
{
    return static_cast<UINT>(args[n] - p.rgvarg);
}

}  // namespace

STDMETHODIMP Control::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP Control::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    if (!type_info_) {
        HRESULT hr = CreateMemberTypeInfo(mode_, &type_info_);
        if (FAILED(hr))
            return hr;
    }
    *info = type_info_;
    type_info_->AddRef();
    return S_OK;
}

STDMETHODIMP Control::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    std::wstring first = names && count && names[0] ? names[0] : L"";
    HRESULT hr = S_OK;
    if (riid != IID_NULL)
        hr = DISP_E_UNKNOWNINTERFACE;
    else if (!names || !ids)
        hr = E_POINTER;
    if (FAILED(hr)) {
        Log(L"refuse name " + first + L" " + HrText(hr));
        return hr;
    }
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (count == 0)
        return S_OK;
    const Member* m = FindMember(mode_, names[0]);
    if (!m) {
        Log(L"refuse name " + first + L" " + HrText(DISP_E_UNKNOWNNAME));
        return DISP_E_UNKNOWNNAME;
    }
    ids[0] = m->id;
    // The names after the first are the method's parameters, numbered from 0.
    for (UINT i = 1; i < count; ++i) {
        for (size_t n = 0; n < m->params.size(); ++n)
            if (names[i] && lstrcmpiW(names[i], m->params[n].name) == 0)
                ids[i] = static_cast<DISPID>(n);
        if (ids[i] == DISPID_UNKNOWN) {
            Log(L"refuse name " + std::wstring(names[i] ? names[i] : L"") + L" " + HrText(DISP_E_UNKNOWNNAME));
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

STDMETHODIMP Control::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* excep, UINT* arg_err)
{
    const Member* m = FindMember(mode_, id);
    HRESULT hr = Dispatch(m, riid, flags, params, result, excep, arg_err);
    // DISP_E_EXCEPTION comes only from Fail, which logs its own line.
    if (FAILED(hr) && hr != DISP_E_EXCEPTION)
        Log(std::wstring(L"refuse ") + How(m, flags) + L" " + (m ? std::wstring(m->name) : std::to_wstring(id)) +
            L" " + HrText(hr));
    return hr;
}

HRESULT Control::Dispatch(const Member* m, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* excep, UINT* arg_err)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!m)
        return DISP_E_MEMBERNOTFOUND;
    if (!params)
        return E_INVALIDARG;
    if (result)
        VariantInit(result);
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        // No member here takes an object, so there is nothing to put by reference.
        if (!(flags & DISPATCH_PROPERTYPUT) || !(m->access & kPut))
            return DISP_E_MEMBERNOTFOUND;
        if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
            params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTOPTIONAL;
        if (params->cArgs != 1 || !params->rgvarg)
            return DISP_E_BADPARAMCOUNT;
        VARIANT value;
        HRESULT hr = Coerce(params->rgvarg[0], m->type, value);
        if (FAILED(hr)) {
            if (arg_err)
                *arg_err = 0;
            return hr;
        }
        hr = Put(*m, value, excep);
        VariantClear(&value);
        return hr;
    }
    if (m->IsMethod()) {
        if (!(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        return Call(*m, params, excep, arg_err);
    }
    if (!(flags & DISPATCH_PROPERTYGET) || !(m->access & kGet))
        return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    return Get(*m, result);
}

HRESULT Control::Fail(const std::wstring& line, const std::wstring& step, EXCEPINFO* excep)
{
    Log(L"fail " + line);
    if (excep) {
        ZeroMemory(excep, sizeof(*excep));
        excep->scode = E_FAIL;
        excep->bstrSource = SysAllocString(L"vellomar stand-in");
        excep->bstrDescription = SysAllocString((L"stand-in failure: " + step).c_str());
    }
    return DISP_E_EXCEPTION;
}

HRESULT Control::Put(const Member& m, const VARIANT& value, EXCEPINFO* excep)
{
    std::wstring text = ValueText(value);
    std::wstring line = std::wstring(L"put ") + m.name + L" " + text;
    if (ShouldFail(m.name))
        return Fail(line, m.name, excep);
    Log(line);
    settings_[m.name] = text;
    Changed();
    return S_OK;
}

HRESULT Control::Get(const Member& m, VARIANT* result)
{
    Log(std::wstring(L"get ") + m.name);
    if (!result)
        return S_OK;
    auto it = settings_.find(m.name);
    std::wstring text = it == settings_.end() ? std::wstring() : it->second;
    if (m.type == VT_BOOL) {
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = text == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    return S_OK;
}

HRESULT Control::Call(const Member& m, DISPPARAMS* params, EXCEPINFO* excep, UINT* arg_err)
{
    std::vector<const VARIANT*> args;
    HRESULT hr = Arrange(m, *params, args, arg_err);
    if (FAILED(hr))
        return hr;
    if (m.id == kDispPlay) {
        if (ShouldFail(L"Play"))
            return Fail(L"call Play", L"Play", excep);
        Log(L"call Play");
        played_ = true;
        Changed();
        return S_OK;
    }
    if (m.id != kDispSetVariable)
        return DISP_E_MEMBERNOTFOUND;
    // SetVariable(name, value), both text.
    std::wstring text[2];
    for (size_t n = 0; n < 2; ++n) {
        VARIANT v;
        hr = Coerce(*args[n], VT_BSTR, v);
        if (FAILED(hr)) {
            if (arg_err)
                *arg_err = ArgIndex(*params, args, n);
            return hr;
        }
        text[n] = ValueText(v);
        VariantClear(&v);
    }
    const std::wstring& name = text[0];
    std::wstring line = L"call SetVariable " + name + L" " + text[1];
    if (ShouldFail(L"SetVariable:" + name))
        return Fail(line, L"SetVariable:" + name, excep);
    Log(line);
    auto it = variables_.begin();
    while (it != variables_.end() && it->first != name)
        ++it;
    if (it == variables_.end())
        variables_.emplace_back(name, text[1]);
    else
        it->second = text[1];
    Changed();
    return S_OK;
}

void Control::Changed()
{
    if (wnd_)
        InvalidateRect(wnd_, nullptr, TRUE);
}

}  // namespace standin
