// The stand-in's automation side: names, dispatch ids, property puts and the three methods.
#include "standin.h"

namespace standin {
namespace {

enum class Kind { Setting, Method, ReadOnly };

struct Member {
    const wchar_t* name;
    DISPID id;
    Kind kind;
};

constexpr DISPID kDispGetVariable = 201;
constexpr DISPID kDispStop = 202;
constexpr DISPID kDispReadyState = 203;

// Play is a method and, put as a property, the play-on-load setting.
constexpr Member kMembers[] = {
    {L"Movie", kDispMovie, Kind::Setting},
    {L"Play", kDispPlay, Kind::Method},
    {L"SetVariable", kDispSetVariable, Kind::Method},
    {L"GetVariable", kDispGetVariable, Kind::Method},
    {L"Stop", kDispStop, Kind::Method},
    {L"ReadyState", kDispReadyState, Kind::ReadOnly},
    {L"WMode", 210, Kind::Setting},
    {L"Quality", 211, Kind::Setting},
    {L"Quality2", 212, Kind::Setting},
    {L"AllowScriptAccess", 213, Kind::Setting},
    {L"Scale", 214, Kind::Setting},
    {L"ScaleMode", 215, Kind::Setting},
    {L"SAlign", 216, Kind::Setting},
    {L"AlignMode", 217, Kind::Setting},
    {L"Loop", 218, Kind::Setting},
    {L"Playing", 219, Kind::Setting},
    {L"DeviceFont", 220, Kind::Setting},
    {L"EmbedMovie", 221, Kind::Setting},
    {L"Menu", 222, Kind::Setting},
    {L"Base", 223, Kind::Setting},
    {L"BGColor", 224, Kind::Setting},
    {L"BackgroundColor", 225, Kind::Setting},
    {L"FlashVars", 226, Kind::Setting},
    {L"AllowNetworking", 227, Kind::Setting},
    {L"AllowFullScreen", 228, Kind::Setting},
    {L"SeamlessTabbing", 229, Kind::Setting},
    {L"Profile", 230, Kind::Setting},
    {L"MovieData", 231, Kind::Setting},
};

const Member* FindMember(DISPID id)
{
    for (const Member& m : kMembers)
        if (m.id == id)
            return &m;
    return nullptr;
}

// A VARIANT as one line of log text: flags as true/false, numbers in the invariant locale.
std::wstring Text(const VARIANT& in)
{
    VARIANT v;
    VariantInit(&v);
    if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&in))))
        return L"<bad variant>";
    std::wstring out;
    switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_BOOL:
        out = V_BOOL(&v) ? L"true" : L"false";
        break;
    case VT_BSTR:
        out = V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::wstring();
        break;
    default:
        if (SUCCEEDED(VariantChangeTypeEx(&v, &v, MAKELCID(0x0409, SORT_DEFAULT), 0, VT_BSTR)))
            out = V_BSTR(&v) ? V_BSTR(&v) : L"";
        else
            out = L"<vt " + std::to_wstring(V_VT(&in)) + L">";
    }
    VariantClear(&v);
    return out;
}

void ReturnText(VARIANT* result, const std::wstring& text)
{
    if (!result)
        return;
    VariantInit(result);
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// Positional argument n (0 = first) of a method call; DISPPARAMS keeps them in reverse order.
const VARIANT& Arg(const DISPPARAMS* params, UINT n)
{
    return params->rgvarg[params->cArgs - 1 - n];
}

}  // namespace

STDMETHODIMP Control::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP Control::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP Control::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (count == 0)
        return S_OK;
    for (const Member& m : kMembers) {
        if (names[0] && lstrcmpiW(names[0], m.name) == 0) {
            ids[0] = m.id;
            break;
        }
    }
    if (ids[0] == DISPID_UNKNOWN)
        hr = DISP_E_UNKNOWNNAME;
    // Named arguments are not supported.
    if (count > 1)
        hr = DISP_E_UNKNOWNNAME;
    return hr;
}

STDMETHODIMP Control::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* excep, UINT* arg_err)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!params)
        return E_POINTER;
    if (arg_err)
        *arg_err = 0;
    const Member* m = FindMember(id);
    if (!m)
        return DISP_E_MEMBERNOTFOUND;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (m->kind == Kind::ReadOnly || (m->kind == Kind::Method && id != kDispPlay))
            return DISP_E_MEMBERNOTFOUND;
        if (params->cArgs < 1)
            return DISP_E_BADPARAMCOUNT;
        return Put(id, params->rgvarg[0], excep);
    }
    if (m->kind == Kind::Method && (flags & DISPATCH_METHOD))
        return Method(id, params, result, excep);
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    Log(std::wstring(L"get ") + m->name);
    if (id == kDispReadyState) {
        if (result) {
            VariantInit(result);
            V_VT(result) = VT_I4;
            V_I4(result) = 4;
        }
        return S_OK;
    }
    auto it = settings_.find(id);
    ReturnText(result, it == settings_.end() ? std::wstring() : it->second);
    return S_OK;
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

HRESULT Control::Put(DISPID id, const VARIANT& value, EXCEPINFO* excep)
{
    const wchar_t* name = FindMember(id)->name;
    std::wstring text = Text(value);
    std::wstring line = std::wstring(L"put ") + name + L" " + text;
    if (ShouldFail(name))
        return Fail(line, name, excep);
    Log(line);
    settings_[id] = text;
    if (wnd_)
        InvalidateRect(wnd_, nullptr, TRUE);
    return S_OK;
}

HRESULT Control::Method(DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep)
{
    if (result)
        VariantInit(result);
    switch (id) {
    case kDispPlay:
    case kDispStop: {
        if (params->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        const wchar_t* name = id == kDispPlay ? L"Play" : L"Stop";
        std::wstring line = std::wstring(L"call ") + name;
        if (ShouldFail(name))
            return Fail(line, name, excep);
        Log(line);
        played_ = id == kDispPlay;
        break;
    }
    case kDispSetVariable: {
        if (params->cArgs != 2)
            return DISP_E_BADPARAMCOUNT;
        std::wstring name = Text(Arg(params, 0));
        std::wstring value = Text(Arg(params, 1));
        std::wstring line = L"call SetVariable " + name + L" " + value;
        if (ShouldFail(L"SetVariable:" + name))
            return Fail(line, L"SetVariable:" + name, excep);
        Log(line);
        auto it = variables_.begin();
        while (it != variables_.end() && it->first != name)
            ++it;
        if (it == variables_.end())
            variables_.emplace_back(name, value);
        else
            it->second = value;
        break;
    }
    case kDispGetVariable: {
        if (params->cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        std::wstring name = Text(Arg(params, 0));
        Log(L"call GetVariable " + name);
        std::wstring value;
        for (const auto& [n, v] : variables_)
            if (n == name)
                value = v;
        ReturnText(result, value);
        break;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (wnd_)
        InvalidateRect(wnd_, nullptr, TRUE);
    return S_OK;
}

}  // namespace standin
