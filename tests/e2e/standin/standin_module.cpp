// The DLL's side of the stand-in: entry points, class factory, the call log and environment helpers.
#include "standin.h"

#include <new>

namespace standin {

LONG g_objects = 0;
LONG g_locks = 0;
HINSTANCE g_instance = nullptr;

std::wstring Env(const wchar_t* name)
{
    wchar_t buf[2048];
    DWORD n = GetEnvironmentVariableW(name, buf, ARRAYSIZE(buf));
    if (n == 0 || n >= ARRAYSIZE(buf))
        return {};
    return std::wstring(buf, n);
}

std::wstring HostPath(const std::wstring& path)
{
    if (path.empty() || path[0] != L'/')
        return path;
    // Under Wine, ask it for the DOS name; elsewhere a leading slash is already a valid path.
    using ToDos = LPWSTR(CDECL*)(LPCSTR);
    auto to_dos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!to_dos)
        return path;
    int len = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string unix_path(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, unix_path.data(), len, nullptr, nullptr);
    LPWSTR dos = to_dos(unix_path.c_str());
    if (!dos)
        return path;
    std::wstring result(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

void Log(const std::wstring& line)
{
    std::wstring file = HostPath(Env(L"VELLOMAR_STANDIN_LOG"));
    if (file.empty())
        return;
    std::wstring text = line + L"\n";
    int len = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string bytes(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), len, nullptr,
                        nullptr);
    // Opened per line so that a crash loses nothing and several processes can share one log.
    HANDLE f = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

bool ShouldFail(const std::wstring& step)
{
    std::wstring list = Env(L"VELLOMAR_STANDIN_FAIL");
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L',', start);
        if (end == std::wstring::npos)
            end = list.size();
        if (list.compare(start, end - start, step) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

std::wstring HrText(HRESULT hr)
{
    wchar_t buf[16];
    wsprintfW(buf, L"0x%08X", static_cast<unsigned>(hr));
    return buf;
}

std::wstring GuidText(REFGUID id)
{
    wchar_t buf[64];
    if (StringFromGUID2(id, buf, ARRAYSIZE(buf)) == 0)
        return L"{?}";
    return buf;
}

namespace {

// The mode VELLOMAR_STANDIN_MODE names; unset or empty is the strictest.
bool ParseMode(const std::wstring& text, Mode& mode)
{
    if (text.empty() || text == L"bare")
        mode = Mode::Bare;
    else if (text == L"bag")
        mode = Mode::Bag;
    else if (text == L"named")
        mode = Mode::Named;
    else
        return false;
    return true;
}

class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: its life is the DLL's.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        std::wstring mode_text = Env(L"VELLOMAR_STANDIN_MODE");
        Mode mode;
        if (!ParseMode(mode_text, mode)) {
            Log(L"create refused mode " + mode_text);
            return E_FAIL;
        }
        if (ShouldFail(L"create")) {
            Log(L"fail create");
            return E_FAIL;
        }
        Control* control = new (std::nothrow) Control(mode);
        if (!control)
            return E_OUTOFMEMORY;
        HRESULT hr = control->QueryInterface(riid, out);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

Factory g_factory;

}  // namespace
}  // namespace standin

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        standin::g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid != standin::kClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return standin::g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return standin::g_objects == 0 && standin::g_locks == 0 ? S_OK : S_FALSE;
}
