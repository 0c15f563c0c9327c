// Hosts the stand-in movie control as the program's Windows platform does (by programmatic id,
// through atl.dll's control host, and through a hand-written in-place site), drives it through
// IDispatch with the movie player's dispatch ids, and checks what the control recorded and the
// movie commands it sent back. Needs the control registered: tools/wine/register-standin.sh.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr wchar_t kProgId[] = L"ShockwaveFlash.ShockwaveFlash";
constexpr IID kEventsIid = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DISPID kMovie = 102;
constexpr DISPID kPlay = 112;
constexpr DISPID kFSCommand = 150;
constexpr DISPID kSetVariable = 151;

using Command = std::pair<std::wstring, std::wstring>;

class EventSink final : public IDispatch {
public:
    std::vector<Command> commands;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kEventsIid) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id != kFSCommand || p->cArgs != 2 || V_VT(&p->rgvarg[0]) != VT_BSTR || V_VT(&p->rgvarg[1]) != VT_BSTR)
            return DISP_E_MEMBERNOTFOUND;
        commands.emplace_back(V_BSTR(&p->rgvarg[1]), V_BSTR(&p->rgvarg[0]));
        return S_OK;
    }

private:
    ULONG refs_ = 1;
};

// The least an in-place container must answer: one window, one rectangle, no menus or borders.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    Site(HWND wnd, RECT pos) : wnd_(wnd), pos_(pos) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** mk) override { *mk = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* wnd) override { *wnd = wnd_; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override
    {
        *frame = this;
        AddRef();
        *doc = nullptr;
        *pos = pos_;
        *clip = pos_;
        info->fMDIApp = FALSE;
        info->hwndFrame = wnd_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT r) override { pos_ = *r; return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ULONG refs_ = 1;
    HWND wnd_;
    RECT pos_;
};

HRESULT Invoke(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, EXCEPINFO* excep = nullptr)
{
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS p{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        p.rgdispidNamedArgs = &put;
        p.cNamedArgs = 1;
    }
    EXCEPINFO local{};
    HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &p, nullptr, excep ? excep : &local, nullptr);
    for (VARIANT& v : args)
        VariantClear(&v);
    if (!excep) {
        SysFreeString(local.bstrSource);
        SysFreeString(local.bstrDescription);
        SysFreeString(local.bstrHelpFile);
    }
    return hr;
}

VARIANT Text(const wchar_t* s)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(s);
    return v;
}

VARIANT Flag(bool b)
{
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

DISPID IdOf(IDispatch* d, const wchar_t* name)
{
    LPOLESTR n = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    return SUCCEEDED(d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id)) ? id : DISPID_UNKNOWN;
}

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class StandinHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        // atl.dll's AtlAxWinInit initializes OLE itself and never uninitializes it.
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir_ = std::wstring(tmp) + L"vellomar-standin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
        log_ = dir_ + L"\\calls.log";
        commands_ = dir_ + L"\\commands.txt";
        SetEnvironmentVariableW(L"VELLOMAR_STANDIN_LOG", log_.c_str());
        SetEnvironmentVariableW(L"VELLOMAR_STANDIN_COMMANDS", commands_.c_str());
        SetEnvironmentVariableW(L"VELLOMAR_STANDIN_FAIL", nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"StandinCheckHost";
        RegisterClassW(&wc);
        host_ = CreateWindowExW(0, L"StandinCheckHost", L"stand-in host", WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE,
                                0, 0, 640, 480, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host_, nullptr);
    }

    void TearDown() override
    {
        if (host_)
            DestroyWindow(host_);
        Pump(50);
        CoFreeUnusedLibraries();
        OleUninitialize();
        DeleteFileW(log_.c_str());
        DeleteFileW(commands_.c_str());
        RemoveDirectoryW(dir_.c_str());
    }

    // Runs the message loop until done() or the time is up; returns done().
    template <typename Done>
    bool PumpUntil(Done done, DWORD ms)
    {
        DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > ms)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return true;
    }
    void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        HANDLE f = CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return lines;
        std::string all;
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0)
            all.append(buf, got);
        CloseHandle(f);
        size_t start = 0;
        for (size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
            lines.push_back(all.substr(start, nl - start));
        return lines;
    }

    bool Logged(const std::string& line) const
    {
        for (const std::string& l : LogLines())
            if (l == line)
                return true;
        return false;
    }

    // Written aside and renamed into place, as the control expects of a writer.
    void RequestCommands(const std::string& text)
    {
        std::wstring aside = commands_ + L".new";
        HANDLE f = CreateFileW(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD put = 0;
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
        CloseHandle(f);
        ASSERT_TRUE(MoveFileExW(aside.c_str(), commands_.c_str(), MOVEFILE_REPLACE_EXISTING));
    }

    // Creates the control through atl.dll's host inside host_, as a form hosts its control.
    IDispatch* CreateWithAtl()
    {
        HMODULE atl = LoadLibraryW(L"atl.dll");
        EXPECT_NE(atl, nullptr);
        if (!atl)
            return nullptr;
        auto init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
        auto create = reinterpret_cast<HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**)>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxCreateControl")));
        auto get = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        EXPECT_TRUE(init && create && get);
        if (!init || !create || !get)
            return nullptr;
        // Wine's AtlAxWinInit fails once its window class exists: call it once per process.
        static const BOOL initialized = init();
        EXPECT_TRUE(initialized);
        IUnknown* container = nullptr;
        HRESULT hr = create(kProgId, host_, nullptr, &container);
        EXPECT_EQ(hr, S_OK);
        if (container)
            container->Release();
        IUnknown* unk = nullptr;
        EXPECT_EQ(get(host_, &unk), S_OK);
        if (!unk)
            return nullptr;
        IDispatch* d = nullptr;
        EXPECT_EQ(unk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
        unk->Release();
        return d;
    }

    static HWND ControlWindow(IUnknown* control)
    {
        IOleWindow* w = nullptr;
        HWND wnd = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&w)))) {
            w->GetWindow(&wnd);
            w->Release();
        }
        return wnd;
    }

    static RECT ClientRect(HWND w)
    {
        RECT r{};
        GetClientRect(w, &r);
        return r;
    }

    HWND host_ = nullptr;
    std::wstring dir_, log_, commands_;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(StandinHost, AtlHostPlacesTheControlWindowOverTheHostAndFollowsItsSize)
{
    IDispatch* control = CreateWithAtl();
    ASSERT_NE(control, nullptr);
    HWND wnd = ControlWindow(control);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(GetParent(wnd), host_);
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_TRUE(SameRect(ClientRect(wnd), ClientRect(host_)));

    SetWindowPos(host_, nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(50);
    RECT r = ClientRect(wnd);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);
    EXPECT_TRUE(Logged("inplace SetObjectRects 0 0 400 300"));
    control->Release();
}

TEST_F(StandinHost, RecordsMovieVariablesPlayAndNamedSettingsInOrder)
{
    IDispatch* control = CreateWithAtl();
    ASSERT_NE(control, nullptr);
    ASSERT_EQ(Invoke(control, IdOf(control, L"WMode"), DISPATCH_PROPERTYPUT, {Text(L"Window")}), S_OK);
    ASSERT_EQ(Invoke(control, IdOf(control, L"loop"), DISPATCH_PROPERTYPUT, {Flag(true)}), S_OK);
    ASSERT_EQ(Invoke(control, IdOf(control, L"Play"), DISPATCH_PROPERTYPUT, {Flag(true)}), S_OK);
    ASSERT_EQ(Invoke(control, IdOf(control, L"Menu"), DISPATCH_PROPERTYPUT, {Flag(false)}), S_OK);
    ASSERT_EQ(Invoke(control, kMovie, DISPATCH_PROPERTYPUT, {Text(L"C:\\x\\vellomar.lak")}), S_OK);
    ASSERT_EQ(Invoke(control, kSetVariable, DISPATCH_METHOD, {Text(L"music"), Text(L"")}), S_OK);
    ASSERT_EQ(Invoke(control, kSetVariable, DISPATCH_METHOD, {Text(L"language"), Text(L"2")}), S_OK);
    ASSERT_EQ(Invoke(control, kSetVariable, DISPATCH_METHOD, {Text(L"routine"), Text(L"s")}), S_OK);
    ASSERT_EQ(Invoke(control, kPlay, DISPATCH_METHOD, {}), S_OK);
    EXPECT_EQ(IdOf(control, L"Movie"), kMovie);
    EXPECT_EQ(IdOf(control, L"SetVariable"), kSetVariable);
    EXPECT_EQ(IdOf(control, L"NoSuchSetting"), DISPID_UNKNOWN);

    std::vector<std::string> want = {
        "put WMode Window",  "put Loop true",  "put Play true", "put Menu false",
        "put Movie C:\\x\\vellomar.lak", "call SetVariable music ", "call SetVariable language 2",
        "call SetVariable routine s", "call Play"};
    std::vector<std::string> got;
    for (const std::string& l : LogLines())
        if (l.rfind("put ", 0) == 0 || l.rfind("call ", 0) == 0)
            got.push_back(l);
    EXPECT_EQ(got, want);

    // What the control was given is what it shows: the full-screen routine's colour.
    HWND wnd = ControlWindow(control);
    ASSERT_NE(wnd, nullptr);
    UpdateWindow(wnd);
    HDC dc = GetDC(wnd);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(24, 48, 120));
    ReleaseDC(wnd, dc);
    control->Release();
}

TEST_F(StandinHost, SendsRequestedMovieCommandsToConnectedSinksOnly)
{
    IDispatch* control = CreateWithAtl();
    ASSERT_NE(control, nullptr);
    RequestCommands("setmusic\t3\n");
    Pump(200);
    // No sink yet: the request waits.
    EXPECT_EQ(GetFileAttributesW(commands_.c_str()) != INVALID_FILE_ATTRIBUTES, true);

    IConnectionPointContainer* cpc = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)), S_OK);
    IConnectionPoint* cp = nullptr;
    ASSERT_EQ(cpc->FindConnectionPoint(kEventsIid, &cp), S_OK);
    EventSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(&sink, &cookie), S_OK);

    ASSERT_TRUE(PumpUntil([&] { return sink.commands.size() >= 1; }, 5000));
    RequestCommands("setmouse\t10\r\nquit\n");
    ASSERT_TRUE(PumpUntil([&] { return sink.commands.size() >= 3; }, 5000));
    std::vector<Command> want = {{L"setmusic", L"3"}, {L"setmouse", L"10"}, {L"quit", L""}};
    EXPECT_EQ(sink.commands, want);
    EXPECT_TRUE(Logged("fire FSCommand setmusic 3"));
    EXPECT_TRUE(Logged("fire FSCommand quit "));
    EXPECT_EQ(GetFileAttributesW(commands_.c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(cp->Unadvise(cookie), S_OK);
    cp->Release();
    cpc->Release();
    control->Release();
}

TEST_F(StandinHost, FailsTheStepsNamedInTheEnvironmentWithADescription)
{
    SetEnvironmentVariableW(L"VELLOMAR_STANDIN_FAIL", L"Play,SetVariable:language");
    IDispatch* control = CreateWithAtl();
    ASSERT_NE(control, nullptr);
    EXCEPINFO ex{};
    EXPECT_EQ(Invoke(control, kSetVariable, DISPATCH_METHOD, {Text(L"language"), Text(L"2")}, &ex), DISP_E_EXCEPTION);
    ASSERT_NE(ex.bstrDescription, nullptr);
    EXPECT_STREQ(ex.bstrDescription, L"stand-in failure: SetVariable:language");
    SysFreeString(ex.bstrSource);
    SysFreeString(ex.bstrDescription);
    SysFreeString(ex.bstrHelpFile);
    EXPECT_EQ(Invoke(control, kSetVariable, DISPATCH_METHOD, {Text(L"music"), Text(L"1")}), S_OK);
    EXPECT_EQ(Invoke(control, kPlay, DISPATCH_METHOD, {}), DISP_E_EXCEPTION);
    EXPECT_TRUE(Logged("fail call SetVariable language 2"));
    EXPECT_TRUE(Logged("call SetVariable music 1"));
    EXPECT_TRUE(Logged("fail call Play"));
    EXPECT_FALSE(Logged("call Play"));
    control->Release();
}

TEST_F(StandinHost, HandWrittenSiteActivatesInPlaceAndMovesTheWindow)
{
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    IOleObject* ole = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&ole)),
              S_OK);
    RECT pos{10, 20, 330, 260};
    Site site(host_, pos);
    ASSERT_EQ(ole->SetClientSite(&site), S_OK);
    IPersistStreamInit* persist = nullptr;
    ASSERT_EQ(ole->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)), S_OK);
    EXPECT_EQ(persist->InitNew(), S_OK);
    persist->Release();
    ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, host_, &pos), S_OK);

    HWND wnd = ControlWindow(ole);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(GetParent(wnd), host_);
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(SameRect(r, pos));

    IOleInPlaceObject* inplace = nullptr;
    ASSERT_EQ(ole->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inplace)), S_OK);
    RECT moved{0, 0, 640, 480};
    EXPECT_EQ(inplace->SetObjectRects(&moved, &moved), S_OK);
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(SameRect(r, moved));
    EXPECT_EQ(inplace->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(wnd));
    inplace->Release();

    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(ole->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(ole->Release(), 0u);
    std::vector<std::string> want = {"create", "ole SetClientSite set", "persist InitNew", "ole DoVerb -5",
                                     "window 10 20 330 260", "inplace SetObjectRects 0 0 640 480",
                                     "inplace InPlaceDeactivate", "ole Close 1", "ole SetClientSite null", "destroy"};
    std::vector<std::string> got;
    for (const std::string& l : LogLines())
        if (l.rfind("qi-miss ", 0) != 0)
            got.push_back(l);
    EXPECT_EQ(got, want);
}

// Prints the calls atl.dll's host makes, to compare hosts by; fails only when hosting fails.
TEST_F(StandinHost, AtlHostCallSequence)
{
    IDispatch* control = CreateWithAtl();
    ASSERT_NE(control, nullptr);
    control->Release();
    DestroyWindow(host_);
    host_ = nullptr;
    Pump(50);
    std::vector<std::string> lines = LogLines();
    for (const std::string& l : lines)
        std::printf("  atl: %s\n", l.c_str());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "create");
    EXPECT_EQ(lines.back(), "destroy");
}

}  // namespace
