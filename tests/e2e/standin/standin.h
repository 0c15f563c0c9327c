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
// Mode, VELLOMAR_STANDIN_MODE read when the object is created:
//   bare (also unset or empty)  the contract only: Movie (102) property get/put, SetVariable (151)
//                               method (name, value), Play (112) method. No IPersist,
//                               IPersistStreamInit, IPersistPropertyBag, IProvideClassInfo(2).
//   bag                         the contract, plus IPersistPropertyBag, IPersistStreamInit
//                               (and IPersist) and IProvideClassInfo2.
//   named                       the contract, plus each setting below except Movie and Play as a
//                               property get/put; IPersistStreamInit (and IPersist) and
//                               IProvideClassInfo2, no IPersistPropertyBag.
//   anything else               creation fails with E_FAIL.
// Settings (text unless marked flag): Movie, WMode, Quality, AllowScriptAccess, Scale, Play (flag),
// Loop (flag), DeviceFont (flag), EmbedMovie (flag), Menu (flag), SAlign, Base, BGColor, FlashVars,
// AllowNetworking, AllowFullScreen. A property bag is read for all of them.
//
// Automation follows the rules of a real control, from one member table per mode; the type
// information (GetTypeInfo(0), built with CreateDispTypeInfo) lists exactly that table. Names are
// case-insensitive; an unknown one is DISP_E_UNKNOWNNAME. Invoke refuses: riid not IID_NULL
// (DISP_E_UNKNOWNINTERFACE); an unknown dispid, a put on a method or read-only property, a method
// call on a property, a get on a method (DISP_E_MEMBERNOTFOUND; METHOD|PROPERTYGET on a property is
// a get); a put without the named argument DISPID_PROPERTYPUT (DISP_E_PARAMNOTOPTIONAL); a wrong
// argument count (DISP_E_BADPARAMCOUNT); a value that does not convert to the member's type
// (DISP_E_TYPEMISMATCH). Flags convert to VT_BOOL, everything else to VT_BSTR.
// Type library (DllRegisterServer, beside the DLL as vellomar_standin.tlb, registered): LIBID
// {4491c279-76f1-45be-8028-9e16fd08f850} 1.0; the coclass lists the control's dispinterface
// (the bare mode's members) as default, the status events as [source], then the movie events
// as [default, source]. IProvideClassInfo::GetClassInfo returns that coclass.
// Events: two connection points, listed in this order by EnumConnectionPoints:
//   status events {BB8B80DF-1A9A-4FC6-9D15-65102B12420C}, StatusChange(long) = dispid 1, never sent
//   movie events {D27CDB6D-AE6D-11CF-96B8-444553540000}, FSCommand = dispid 150 with (command,
//   args) as two BSTRs; the only one requests are sent to.
// Persistence: initialised once; InitNew, Load(stream) or Load(bag) after that is E_UNEXPECTED.
//
// Environment, read at each use (the mode only at creation):
//   VELLOMAR_STANDIN_LOG       file that gets one line per call, appended (a Linux path such as
//                              /tmp/x.log is accepted under Wine). UTF-8, LF line ends.
//   VELLOMAR_STANDIN_COMMANDS  request file, polled every 50 ms while the control has a window and
//                              at least one movie-events sink: each line "command<TAB>args" (args
//                              may be missing) fires FSCommand(command, args) to every such sink,
//                              in order. The file is consumed: renamed away, read, then deleted.
//                              Writers create it under another name and rename it into place.
//                              Lines are UTF-8 taken by their length, so a NUL byte reaches the
//                              command or the args as U+0000 and args may be of any size; only a
//                              line feed (with a carriage return before it) cannot be sent.
//   VELLOMAR_STANDIN_FAIL      comma-separated steps that fail: "Movie", "Play",
//                              "SetVariable:<name>" and any setting name for its put (each with
//                              DISP_E_EXCEPTION and the description "stand-in failure: <step>"),
//                              a setting name also for its property bag read (skipped), and
//                              "create" (CoCreateInstance fails).
//
// Log lines, "<kind> <name>[ <text>]" (an empty text leaves the line ending in one blank); HRESULTs
// print as 0x and eight upper-case hex digits:
//   put <Name> <value>          property put; flags print as true/false, numbers in decimal
//   get <Name>
//   call SetVariable <name> <value>    call Play
//   fail <same line>            the put or call above was made to fail by VELLOMAR_STANDIN_FAIL
//   refuse put|call|get <Name or dispid> <hr>   Invoke refused the call
//   refuse name <Name> <hr>     GetIDsOfNames did not know the name
//   bag <Name> <value>          read from the property bag and kept, printed as a put is
//   bag-fail <Name> <hr>        the bag's Read failed other than with E_INVALIDARG (not in the
//                               bag, skipped silently), or gave another type than asked for
//                               (DISP_E_TYPEMISMATCH); skipped
//   fail bag <Name> <value>     read, but made to fail by VELLOMAR_STANDIN_FAIL; skipped
//   fire FSCommand <command> <args>    sent to the movie-events sinks
//   create / destroy            object life
//   create refused mode <value> VELLOMAR_STANDIN_MODE names no mode; nothing was created
//   ole <Method>[ <details>]    IOleObject: SetClientSite set|null, DoVerb <verb>, SetExtent
//                               <cx> <cy>, Close, SetHostNames, Advise ...
//   inplace <Method> ...        IOleInPlaceObject: SetObjectRects <l> <t> <r> <b>, InPlaceDeactivate
//   window <l> <t> <r> <b>      the control's window was created there, in parent coordinates
//   persist InitNew | persist Load stream | persist Load bag
//   refuse persist InitNew|Load stream|Load bag 0x8000FFFF    already initialised
//   classinfo GetClassInfo[ <hr>] | classinfo GetGUID <kind>    IProvideClassInfo(2); the hr when
//                               the type library could not be loaded
//   control <Method> ...        IOleControl
//   cp Advise <iid> <cookie> / cp Unadvise <iid> <cookie>    on the connection point of <iid>
//   qi-miss <iid>               QueryInterface asked for an interface the control lacks
// AddRef, Release and answered QueryInterface calls are not recorded.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <span>
#include <string>
#include <vector>

namespace standin {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID kClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6D-AE6D-11CF-96B8-444553540000}
inline constexpr IID kEventsIid = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {BB8B80DF-1A9A-4FC6-9D15-65102B12420C}
inline constexpr IID kStatusEventsIid = {0xBB8B80DF, 0x1A9A, 0x4FC6, {0x9D, 0x15, 0x65, 0x10, 0x2B, 0x12, 0x42, 0x0C}};
// {D6573FDD-A028-4732-B166-6018FEAB6EB8}: the control's own dispinterface in the type library.
inline constexpr IID kControlIid = {0xD6573FDD, 0xA028, 0x4732, {0xB1, 0x66, 0x60, 0x18, 0xFE, 0xAB, 0x6E, 0xB8}};
// {4491C279-76F1-45BE-8028-9E16FD08F850}, version 1.0
inline constexpr GUID kLibid = {0x4491C279, 0x76F1, 0x45BE, {0x80, 0x28, 0x9E, 0x16, 0xFD, 0x08, 0xF8, 0x50}};
inline constexpr WORD kLibMajor = 1;
inline constexpr WORD kLibMinor = 0;

inline constexpr DISPID kDispMovie = 102;
inline constexpr DISPID kDispPlay = 112;
inline constexpr DISPID kDispSetVariable = 151;
inline constexpr DISPID kDispFSCommand = 150;
inline constexpr DISPID kDispStatusChange = 1;

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
// "0x" and eight upper-case hex digits.
std::wstring HrText(HRESULT hr);

enum class Mode { Bare, Bag, Named };

// ---- standin_members.cpp: the member tables, the settings, values, type information.

enum Access : unsigned { kCall = 0, kGet = 1, kPut = 2 };

struct Param {
    const wchar_t* name;
    VARTYPE type;
};

struct Member {
    const wchar_t* name;
    DISPID id;
    unsigned access;  // kCall for a method, else kGet and/or kPut
    VARTYPE type;     // a property's value type; VT_VOID for a method
    std::span<const Param> params;  // a method's parameters
    bool IsMethod() const { return access == kCall; }
};

// A persisted setting: what a property bag is read for, and in mode named also a property.
struct Setting {
    const wchar_t* name;
    VARTYPE type;  // VT_BSTR text or VT_BOOL flag
    DISPID id;
};

std::span<const Setting> Settings();
const Setting* FindSetting(const std::wstring& name);
std::span<const Member> Members(Mode mode);
std::span<const Member> MovieEventMembers();
std::span<const Member> StatusEventMembers();
const Member* FindMember(Mode mode, DISPID id);
const Member* FindMember(Mode mode, const wchar_t* name);
// The mode's member table as type information, built with CreateDispTypeInfo.
HRESULT CreateMemberTypeInfo(Mode mode, ITypeInfo** info);
// Converts to type (invariant locale), reading through VT_BYREF; out is initialised on success.
HRESULT Coerce(const VARIANT& in, VARTYPE type, VARIANT& out);
// A VARIANT as one line of log text: flags as true/false, numbers in the invariant locale.
std::wstring ValueText(const VARIANT& value);

// ---- standin_typelib.cpp: the registered type library.
// The coclass's type information from the registered library.
HRESULT LoadCoclassInfo(ITypeInfo** info);

class Control;

// standin_window.cpp: the control's child window (paints, polls the request file every 50 ms).
HWND CreateControlWindow(Control& control, HWND parent, const RECT& rect);

// standin_events.cpp
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(Control& owner, REFIID iid) : owner_(owner), iid_(iid) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Calls dispid on every sink with args (in DISPPARAMS order); returns how many were called.
    int Fire(DISPID id, std::span<VARIANT> args);
    bool HasSinks() const { return !sinks_.empty(); }
    const IID& Iid() const { return iid_; }
    void ReleaseAll();

private:
    Control& owner_;
    IID iid_;
    std::map<DWORD, IDispatch*> sinks_;
    DWORD next_cookie_ = 1;
};

class Control final : public IDispatch,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IOleControl,
                      public IConnectionPointContainer,
                      public IPersistStreamInit,
                      public IPersistPropertyBag,
                      public IProvideClassInfo2 {
public:
    explicit Control(Mode mode);
    ~Control();

    // IUnknown (standin_control.cpp)
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch (standin_dispatch.cpp)
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* arg_err) override;

    // IOleObject (standin_control.cpp)
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

    // IOleWindow / IOleInPlaceObject (standin_control.cpp)
    STDMETHODIMP GetWindow(HWND* wnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;

    // IOleControl (standin_control.cpp)
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IConnectionPointContainer (standin_events.cpp)
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag, IProvideClassInfo2 (standin_persist.cpp)
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clear_dirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* errors) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // Used by the window side (standin_window.cpp).
    void Paint(HDC dc, const RECT& client) const;
    void PollCommands();

private:
    HRESULT Activate(LONG verb, HWND parent_hint, LPCRECT pos_hint);
    void DestroyControlWindow();
    HRESULT Dispatch(const Member* m, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                     EXCEPINFO* excep, UINT* arg_err);
    HRESULT Put(const Member& m, const VARIANT& value, EXCEPINFO* excep);
    HRESULT Get(const Member& m, VARIANT* result);
    HRESULT Call(const Member& m, DISPPARAMS* params, EXCEPINFO* excep, UINT* arg_err);
    HRESULT Fail(const std::wstring& line, const std::wstring& step, EXCEPINFO* excep);
    // Marks the object initialised; E_UNEXPECTED (logged) when it already was.
    HRESULT BeginInit(const wchar_t* what);
    void Changed();

    const Mode mode_;
    LONG refs_ = 1;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inplace_site_ = nullptr;
    IAdviseSink* advise_sink_ = nullptr;
    ITypeInfo* type_info_ = nullptr;
    HWND wnd_ = nullptr;
    SIZEL extent_{};
    // In the order EnumConnectionPoints lists them.
    ConnectionPoint status_events_;
    ConnectionPoint movie_events_;
    bool initialised_ = false;

    // What the host gave: settings by name as logged, movie variables in order of first setting.
    std::map<std::wstring, std::wstring> settings_;
    std::vector<std::pair<std::wstring, std::wstring>> variables_;
    bool played_ = false;
    int commands_sent_ = 0;
};

}  // namespace standin
