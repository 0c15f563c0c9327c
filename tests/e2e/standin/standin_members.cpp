// The stand-in's member tables, one per mode, and the type information built from them: what
// GetIDsOfNames knows, Invoke accepts and GetTypeInfo lists all come from here.
#include "standin.h"

namespace standin {
namespace {

constexpr LCID kInvariant = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

constexpr Param kSetVariableParams[] = {{L"name", VT_BSTR}, {L"value", VT_BSTR}};
constexpr Param kFSCommandParams[] = {{L"command", VT_BSTR}, {L"args", VT_BSTR}};
constexpr Param kStatusChangeParams[] = {{L"newState", VT_I4}};

// The movie-player contract: what every mode knows.
constexpr Member kContract[] = {
    {L"Movie", kDispMovie, kGet | kPut, VT_BSTR, {}},
    {L"SetVariable", kDispSetVariable, kCall, VT_VOID, kSetVariableParams},
    {L"Play", kDispPlay, kCall, VT_VOID, {}},
};

constexpr Member kMovieEvents[] = {{L"FSCommand", kDispFSCommand, kCall, VT_VOID, kFSCommandParams}};
constexpr Member kStatusEvents[] = {{L"StatusChange", kDispStatusChange, kCall, VT_VOID, kStatusChangeParams}};

// Play is a flag here (play on load) but a method in the contract, so mode named has no
// property Play; Movie is the contract's property.
constexpr Setting kSettings[] = {
    {L"Movie", VT_BSTR, kDispMovie},
    {L"WMode", VT_BSTR, 210},
    {L"Quality", VT_BSTR, 211},
    {L"AllowScriptAccess", VT_BSTR, 213},
    {L"Scale", VT_BSTR, 214},
    {L"Play", VT_BOOL, kDispPlay},
    {L"Loop", VT_BOOL, 218},
    {L"DeviceFont", VT_BOOL, 220},
    {L"EmbedMovie", VT_BOOL, 221},
    {L"Menu", VT_BOOL, 222},
    {L"SAlign", VT_BSTR, 216},
    {L"Base", VT_BSTR, 223},
    {L"BGColor", VT_BSTR, 224},
    {L"FlashVars", VT_BSTR, 226},
    {L"AllowNetworking", VT_BSTR, 227},
    {L"AllowFullScreen", VT_BSTR, 228},
};

bool InContract(const wchar_t* name)
{
    for (const Member& m : kContract)
        if (lstrcmpiW(m.name, name) == 0)
            return true;
    return false;
}

std::vector<Member> NamedMembers()
{
    std::vector<Member> members(std::begin(kContract), std::end(kContract));
    for (const Setting& s : kSettings)
        if (!InContract(s.name))
            members.push_back({s.name, s.id, kGet | kPut, s.type, {}});
    return members;
}

}  // namespace

std::span<const Setting> Settings() { return kSettings; }

const Setting* FindSetting(const std::wstring& name)
{
    for (const Setting& s : kSettings)
        if (lstrcmpiW(s.name, name.c_str()) == 0)
            return &s;
    return nullptr;
}

std::span<const Member> Members(Mode mode)
{
    static const std::vector<Member> named = NamedMembers();
    if (mode == Mode::Named)
        return named;
    return kContract;
}

std::span<const Member> MovieEventMembers() { return kMovieEvents; }
std::span<const Member> StatusEventMembers() { return kStatusEvents; }

const Member* FindMember(Mode mode, DISPID id)
{
    for (const Member& m : Members(mode))
        if (m.id == id)
            return &m;
    return nullptr;
}

const Member* FindMember(Mode mode, const wchar_t* name)
{
    if (!name)
        return nullptr;
    for (const Member& m : Members(mode))
        if (lstrcmpiW(m.name, name) == 0)
            return &m;
    return nullptr;
}

HRESULT CreateMemberTypeInfo(Mode mode, ITypeInfo** info)
{
    std::span<const Member> members = Members(mode);
    // Each entry's PARAMDATA lives here until CreateDispTypeInfo has copied it.
    std::vector<std::vector<PARAMDATA>> params;
    params.reserve(members.size() * 2);
    std::vector<METHODDATA> methods;
    auto add = [&](const Member& m, WORD kind, VARTYPE ret, std::vector<PARAMDATA> list) {
        params.push_back(std::move(list));
        auto& p = params.back();
        // Slots after IDispatch's seven, as a dual interface would have them.
        methods.push_back({const_cast<OLECHAR*>(m.name), p.empty() ? nullptr : p.data(), m.id,
                           static_cast<UINT>(7 + methods.size()), CC_STDCALL, static_cast<UINT>(p.size()), kind,
                           ret});
    };
    for (const Member& m : members) {
        if (m.IsMethod()) {
            std::vector<PARAMDATA> list;
            for (const Param& p : m.params)
                list.push_back({const_cast<OLECHAR*>(p.name), p.type});
            add(m, DISPATCH_METHOD, VT_VOID, std::move(list));
            continue;
        }
        if (m.access & kGet)
            add(m, DISPATCH_PROPERTYGET, m.type, {});
        if (m.access & kPut)
            add(m, DISPATCH_PROPERTYPUT, VT_VOID, {{const_cast<OLECHAR*>(L"value"), m.type}});
    }
    INTERFACEDATA data{methods.data(), static_cast<UINT>(methods.size())};
    return CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, info);
}

HRESULT Coerce(const VARIANT& in, VARTYPE type, VARIANT& out)
{
    VARIANT plain;
    VariantInit(&plain);
    HRESULT hr = VariantCopyInd(&plain, const_cast<VARIANT*>(&in));
    if (FAILED(hr))
        return hr;
    VariantInit(&out);
    hr = VariantChangeTypeEx(&out, &plain, kInvariant, 0, type);
    VariantClear(&plain);
    return hr;
}

std::wstring ValueText(const VARIANT& in)
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
        if (SUCCEEDED(VariantChangeTypeEx(&v, &v, kInvariant, 0, VT_BSTR)))
            out = V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::wstring();
        else
            out = L"<vt " + std::to_wstring(V_VT(&in)) + L">";
    }
    VariantClear(&v);
    return out;
}

}  // namespace standin
