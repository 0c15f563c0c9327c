// The stand-in's type library, written and registered by DllRegisterServer (regsvr32): the coclass
// with the control's dispinterface and two outgoing ones, status events listed before the
// [default, source] movie events. Built in code from the member tables because no IDL compiler
// with stdole2.tlb is at hand; saved beside the DLL as vellomar_standin.tlb.
#include "standin.h"

namespace standin {
namespace {

template <typename T>
struct Ref {
    T* p = nullptr;
    ~Ref()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

#define CHECK(expr)                 \
    do {                            \
        HRESULT check_hr = (expr);  \
        if (FAILED(check_hr))       \
            return check_hr;        \
    } while (0)

std::wstring LibraryPath()
{
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(g_instance, buf, ARRAYSIZE(buf));
    if (n == 0 || n >= ARRAYSIZE(buf))
        return {};
    std::wstring path(buf, n);
    size_t dot = path.find_last_of(L".\\/");
    if (dot != std::wstring::npos && path[dot] == L'.')
        path.resize(dot);
    return path + L".tlb";
}

HRESULT AddFunc(ICreateTypeInfo* info, UINT index, const Member& m, INVOKEKIND kind, VARTYPE ret,
                std::span<const Param> params, bool name_params)
{
    std::vector<ELEMDESC> elems(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
        elems[i].tdesc.vt = params[i].type;
        elems[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
    }
    FUNCDESC fd{};
    fd.memid = m.id;
    fd.lprgelemdescParam = elems.empty() ? nullptr : elems.data();
    fd.funckind = FUNC_DISPATCH;
    fd.invkind = kind;
    fd.callconv = CC_STDCALL;
    fd.cParams = static_cast<SHORT>(params.size());
    fd.elemdescFunc.tdesc.vt = ret;
    CHECK(info->AddFuncDesc(index, &fd));
    // A property put's value has no name of its own.
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(m.name)};
    if (name_params)
        for (const Param& p : params)
            names.push_back(const_cast<LPOLESTR>(p.name));
    return info->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size()));
}

// A property is one get and one put entry with the same dispid, a method one entry.
HRESULT AddMembers(ICreateTypeInfo* info, std::span<const Member> members)
{
    UINT index = 0;
    for (const Member& m : members) {
        if (m.IsMethod()) {
            CHECK(AddFunc(info, index++, m, INVOKE_FUNC, VT_VOID, m.params, true));
            continue;
        }
        const Param value[] = {{L"value", m.type}};
        if (m.access & kGet)
            CHECK(AddFunc(info, index++, m, INVOKE_PROPERTYGET, m.type, {}, false));
        if (m.access & kPut)
            CHECK(AddFunc(info, index++, m, INVOKE_PROPERTYPUT, VT_VOID, value, false));
    }
    return S_OK;
}

HRESULT AddDispinterface(ICreateTypeLib2* lib, ITypeInfo* dispatch, const wchar_t* name, REFIID iid,
                         std::span<const Member> members, ITypeInfo** out)
{
    Ref<ICreateTypeInfo> info;
    CHECK(lib->CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_DISPATCH, &info));
    CHECK(info->SetGuid(iid));
    CHECK(info->SetTypeFlags(TYPEFLAG_FDISPATCHABLE));
    HREFTYPE base = 0;
    CHECK(info->AddRefTypeInfo(dispatch, &base));
    CHECK(info->AddImplType(0, base));
    CHECK(AddMembers(info.p, members));
    CHECK(info->LayOut());
    return info->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(out));
}

HRESULT AddImpl(ICreateTypeInfo* coclass, UINT index, ITypeInfo* iface, INT flags)
{
    HREFTYPE ref = 0;
    CHECK(coclass->AddRefTypeInfo(iface, &ref));
    CHECK(coclass->AddImplType(index, ref));
    return coclass->SetImplTypeFlags(index, flags);
}

HRESULT WriteLibrary(const std::wstring& path)
{
    Ref<ITypeLib> stdole;
    CHECK(LoadRegTypeLib(IID_StdOle, STDOLE2_MAJORVERNUM, STDOLE2_MINORVERNUM, STDOLE2_LCID, &stdole));
    Ref<ITypeInfo> dispatch;
    CHECK(stdole->GetTypeInfoOfGuid(IID_IDispatch, &dispatch));

    Ref<ICreateTypeLib2> lib;
    CHECK(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, path.c_str(), &lib));
    CHECK(lib->SetGuid(kLibid));
    CHECK(lib->SetVersion(kLibMajor, kLibMinor));
    CHECK(lib->SetLcid(LOCALE_NEUTRAL));
    CHECK(lib->SetName(const_cast<LPOLESTR>(L"VellomarStandinLib")));
    CHECK(lib->SetDocString(const_cast<LPOLESTR>(L"vellomar stand-in movie control")));

    // The library describes the control as every mode has it: the contract.
    Ref<ITypeInfo> control, status, movie;
    CHECK(AddDispinterface(lib.p, dispatch.p, L"IStandinMovie", kControlIid, Members(Mode::Bare), &control));
    CHECK(AddDispinterface(lib.p, dispatch.p, L"IStandinStatusEvents", kStatusEventsIid, StatusEventMembers(),
                           &status));
    CHECK(AddDispinterface(lib.p, dispatch.p, L"IStandinMovieEvents", kEventsIid, MovieEventMembers(), &movie));

    Ref<ICreateTypeInfo> coclass;
    CHECK(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"StandinMovie"), TKIND_COCLASS, &coclass));
    CHECK(coclass->SetGuid(kClsid));
    CHECK(coclass->SetTypeFlags(TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL));
    CHECK(AddImpl(coclass.p, 0, control.p, IMPLTYPEFLAG_FDEFAULT));
    CHECK(AddImpl(coclass.p, 1, status.p, IMPLTYPEFLAG_FSOURCE));
    CHECK(AddImpl(coclass.p, 2, movie.p, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE));
    CHECK(coclass->LayOut());
    return lib->SaveAllChanges();
}

}  // namespace

HRESULT LoadCoclassInfo(ITypeInfo** info)
{
    Ref<ITypeLib> lib;
    CHECK(LoadRegTypeLib(kLibid, kLibMajor, kLibMinor, LOCALE_NEUTRAL, &lib));
    return lib->GetTypeInfoOfGuid(kClsid, info);
}

}  // namespace standin

// Writes the type library beside the DLL and registers it. The class itself (CLSID, ProgID,
// InprocServer32, TypeLib) is registered by tools/wine/register-standin.sh.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    using namespace standin;
    std::wstring path = LibraryPath();
    if (path.empty())
        return SELFREG_E_TYPELIB;
    HRESULT hr = WriteLibrary(path);
    if (FAILED(hr))
        return hr;
    Ref<ITypeLib> lib;
    hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib);
    if (FAILED(hr))
        return hr;
    return RegisterTypeLib(lib.p, const_cast<OLECHAR*>(path.c_str()), nullptr);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    HRESULT hr = UnRegisterTypeLib(standin::kLibid, standin::kLibMajor, standin::kLibMinor, LOCALE_NEUTRAL,
                                   sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    // Nothing registered is nothing to undo.
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
}
