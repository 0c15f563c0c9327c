// Stand-in movie control for the end-to-end tests: an in-process COM server with the movie
// player's class id, registered only in the project's private Wine prefix
// (tools/wine/register-standin.sh). It plays nothing: it records what its host does to it,
// draws what it was given, and sends movie commands back when a test asks.
//
// Hosting: a windowed ActiveX control. IOleObject::DoVerb (any activating verb) creates a child of
// the in-place site's window, placed at the site's GetWindowContext rectangle (the rectangle given
// to DoVerb, or the parent's client area, when that one is empty). SetExtent is only recorded:
// hosts pass unreliable HIMETRIC sizes, and SetObjectRects moves the window.
//
// Automation (IDispatch, names case-insensitive):
//   Movie (102) put/get, SetVariable (151) method (name, value), Play (112) method, or put as the
//   play-on-load setting; GetVariable, Stop methods; text or flag settings put/get: WMode, Quality,
//   Quality2, AllowScriptAccess, Scale, ScaleMode, SAlign, AlignMode, Loop, Playing, DeviceFont,
//   EmbedMovie, Menu, Base, BGColor, BackgroundColor, FlashVars, AllowNetworking,
//   AllowFullScreen, SeamlessTabbing, Profile, MovieData; ReadyState get (always 4).
// Events: dispinterface {D27CDB6D-AE6D-11CF-96B8-444553540000}, FSCommand = dispid 150 with
// (command, args) as two BSTRs, found through IConnectionPointContainer.
//
// Environment, read at each use:
//   VELLOMAR_STANDIN_LOG       file that gets one line per call, appended (a Linux path such as
//                              /tmp/x.log is accepted under Wine). UTF-8, LF line ends.
//   VELLOMAR_STANDIN_COMMANDS  request file, polled every 50 ms while the control has a window and
//                              at least one event sink: each line "command<TAB>args" (args may be
//                              missing) fires FSCommand(command, args) to every sink, in order.
//                              The file is consumed: renamed away, read, then deleted. Writers
//                              create it under another name and rename it into place. Lines are
//                              UTF-8 taken by their length, so a NUL byte reaches the command or
//                              the args as U+0000 and args may be of any size; only a line feed
//                              (with a carriage return before it) cannot be sent.
//   VELLOMAR_STANDIN_FAIL      comma-separated steps that fail with DISP_E_EXCEPTION and the
//                              description "stand-in failure: <step>": "Movie", "Play",
//                              "SetVariable:<name>", "create" (CoCreateInstance fails), or any
//                              setting name for its put.
//
// Log lines, "<kind> <name>[ <text>]" (an empty text leaves the line ending in one blank):
//   put <Name> <value>          property put; flags print as true/false, numbers in decimal
//   get <Name>
//   call SetVariable <name> <value>    call Play    call Stop    call GetVariable <name>
//   fail <same line>            the call above was made to fail by VELLOMAR_STANDIN_FAIL
//   fire FSCommand <command> <args>    sent to the connected sinks
//   create / destroy            object life
//   ole <Method>[ <details>]    IOleObject: SetClientSite set|null, DoVerb <verb>, SetExtent
//                               <cx> <cy>, Close, SetHostNames, Advise ...
//   inplace <Method> ...        IOleInPlaceObject: SetObjectRects <l> <t> <r> <b>, InPlaceDeactivate
//   window <l> <t> <r> <b>      the control's window was created there, in parent coordinates
//   persist InitNew|Load ...    IPersistStreamInit / IPersistPropertyBag
//   control <Method> ...        IOleControl
//   cp Advise <cookie> / cp Unadvise <cookie>
//   qi-miss <iid>               QueryInterface asked for an interface the control lacks
// AddRef, Release and answered QueryInterface calls are not recorded.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

namespace standin {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID kClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6D-AE6D-11CF-96B8-444553540000}
inline constexpr IID kEventsIid = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

inline constexpr DISPID kDispMovie = 102;
inline constexpr DISPID kDispPlay = 112;
inline constexpr DISPID kDispSetVariable = 151;
inline constexpr DISPID kDispFSCommand = 150;

// Module-wide: object and lock counts for DllCanUnloadNow, the DLL's instance.
extern LONG g_objects;
extern LONG g_locks;
extern HINSTANCE g_instance;

void Log(const std::wstring& line);
std::wstring Env(const wchar_t* name);
// A path from the environment as Windows sees it: Linux paths go through Wine's drive mapping.
std::wstring HostPath(const std::wstring& path);
// True when VELLOMAR_STANDIN_FAIL lists the step.
bool ShouldFail(const std::wstring& step);
std::wstring GuidText(REFGUID id);

class Control;

// standin_window.cpp: the control's child window (paints, polls the request file every 50 ms).
HWND CreateControlWindow(Control& control, HWND parent, const RECT& rect);

class ConnectionPoint final : public IConnectionPoint {
public:
    explicit ConnectionPoint(Control& owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Sends FSCommand(command, args) to every sink; returns how many were called.
    int FireFSCommand(const std::wstring& command, const std::wstring& args);
    bool HasSinks() const { return !sinks_.empty(); }
    void ReleaseAll();

private:
    Control& owner_;
    std::map<DWORD, IDispatch*> sinks_;
    DWORD next_cookie_ = 1;
};

class Control final : public IDispatch,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IOleControl,
                      public IConnectionPointContainer,
                      public IPersistStreamInit,
                      public IPersistPropertyBag {
public:
    Control();
    ~Control();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* arg_err) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
    STDMETHODIMP Close(DWORD save) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* mk) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** mk) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT pos) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* pal) override;

    // IOleWindow / IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* wnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clear_dirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* errors) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;

    // Used by the window side (standin_window.cpp).
    void Paint(HDC dc, const RECT& client) const;
    void PollCommands();
    ConnectionPoint& Events() { return events_; }

private:
    HRESULT Activate(LONG verb, HWND parent_hint, LPCRECT pos_hint);
    void DestroyControlWindow();
    HRESULT Put(DISPID id, const VARIANT& value, EXCEPINFO* excep);
    HRESULT Method(DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep);
    HRESULT Fail(const std::wstring& line, const std::wstring& step, EXCEPINFO* excep);

    LONG refs_ = 1;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inplace_site_ = nullptr;
    IAdviseSink* advise_sink_ = nullptr;
    HWND wnd_ = nullptr;
    SIZEL extent_{};
    ConnectionPoint events_;

    // What the host gave: settings by dispatch id, movie variables in order of first setting.
    std::map<DISPID, std::wstring> settings_;
    std::vector<std::pair<std::wstring, std::wstring>> variables_;
    bool played_ = false;
    int commands_sent_ = 0;
};

}  // namespace standin
