// Hosting an ActiveX control in place in one of our windows: the least site a control needs
// (IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame), the control's default event interface
// received through its connection point, and calls through its dispatch interface by id.
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "runtime/raised_error.h"
#include "runtime/win32/win32_activex.h"
#include "runtime/win32/win32_com_object.h"
#include "runtime/win32/win32_com_ptr.h"
#include "runtime/win32/win32_common.h"
#include "runtime/win32/win32_control_events.h"
#include "runtime/win32/win32_control_settings.h"
#include "runtime/win32/win32_dispatch.h"
#include "runtime/win32/win32_platform.h"

namespace vellomar::win32 {

namespace {

class Site final : public ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame> {
 public:
  Site(HWND host, RECT position) : host_(host), position_(position) {}
  void SetPosition(RECT position) { position_ = position; }

  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  STDMETHODIMP GetWindow(HWND* window) override {
    *window = host_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override {
    *frame = this;
    AddRef();
    *document = nullptr;
    *position = position_;
    *clip = position_;
    info->fMDIApp = FALSE;
    info->hwndFrame = host_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT position) override {
    position_ = *position;
    return S_OK;
  }

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
  ~Site() override = default;
  void* Interface(REFIID riid) override {
    if (riid == IID_IOleClientSite) return static_cast<IOleClientSite*>(this);
    if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
      return static_cast<IOleInPlaceSite*>(this);
    }
    if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame) {
      return static_cast<IOleInPlaceFrame*>(this);
    }
    return nullptr;
  }
  HWND host_;
  RECT position_;
};

// Receives the control's events and hands them on with their arguments as text.
class EventSink final : public ComObject<IDispatch> {
 public:
  EventSink(IID events, ControlEvents& target) : events_(events), target_(&target) {}
  void Detach() { target_ = nullptr; }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    if (!target_) return S_OK;
    // Arguments arrive last first.
    std::vector<std::string> args;
    for (UINT i = params->cArgs; i > 0; --i) {
      VARIANT text;
      VariantInit(&text);
      const bool converted =
          SUCCEEDED(VariantChangeType(&text, &params->rgvarg[i - 1], 0, VT_BSTR));
      args.push_back(converted && V_BSTR(&text)
                         ? Narrow(std::wstring_view(V_BSTR(&text), SysStringLen(V_BSTR(&text))))
                         : std::string());
      VariantClear(&text);
    }
    target_->OnControlEvent(id, args);
    return S_OK;
  }

 private:
  ~EventSink() override = default;
  void* Interface(REFIID riid) override {
    return riid == IID_IDispatch || riid == events_ ? static_cast<IDispatch*>(this) : nullptr;
  }
  IID events_;
  ControlEvents* target_;
};

class HostedActiveX;

// The controls by host window, for a host whose size changes.
std::multimap<HWND, HostedActiveX*>& Hosted() {
  static std::multimap<HWND, HostedActiveX*> hosted;
  return hosted;
}

class HostedActiveX final : public NativeControl {
 public:
  HostedActiveX(HWND host, const ControlDesign& design, ControlEvents& events)
      : progId_(design.progId), host_(host) {
    const std::wstring progId = Widen(design.progId);
    if (FAILED(CLSIDFromProgID(progId.c_str(), &classId_))) {
      throw RaisedError(kErrCannotCreateObject,
                        "Cannot create the control " + design.progId + ": it is not installed");
    }
    const HRESULT created = CoCreateInstance(classId_, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IOleObject, object_.Out());
    if (FAILED(created)) {
      throw RaisedError(kErrCannotCreateObject,
                        "Cannot create the control " + design.progId + " (" + HexResult(created) +
                            ")");
    }
    try {
      Activate(host, design, events);
    } catch (const RaisedError&) {
      ReleaseAll();
      throw;
    }
    Hosted().emplace(host_, this);
  }

  ~HostedActiveX() override {
    for (auto [at, end] = Hosted().equal_range(host_); at != end; ++at) {
      if (at->second == this) {
        Hosted().erase(at);
        break;
      }
    }
    ReleaseAll();
  }

  Hwnd Handle() const override {
    HWND window = nullptr;
    if (inPlace_) inPlace_->GetWindow(&window);
    return FromHwnd(window);
  }

  void Move(const Placement& placement) override { Place(PixelRect(placement)); }

  void Scale(SIZE from, SIZE to) {
    if (from.cx <= 0 || from.cy <= 0) return;
    Place(RECT{MulDiv(position_.left, to.cx, from.cx), MulDiv(position_.top, to.cy, from.cy),
               MulDiv(position_.right, to.cx, from.cx), MulDiv(position_.bottom, to.cy, from.cy)});
  }

  void PutProperty(std::int32_t dispId, const DispValue& value) override {
    Call(dispId, DISPATCH_PROPERTYPUT, {value});
  }

  void Invoke(std::int32_t dispId, const std::vector<DispValue>& args) override {
    Call(dispId, DISPATCH_METHOD, args);
  }

 private:
  void Activate(HWND host, const ControlDesign& design, ControlEvents& events) {
    object_->QueryInterface(IID_IDispatch, dispatch_.Out());
    if (!dispatch_) Fail("has no dispatch interface", E_NOINTERFACE);

    const RECT position = PixelRect(design.placement);
    site_.Attach(new Site(host, position));
    // Most controls want their site before their settings; the rest after.
    DWORD status = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &status);
    const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) object_->SetClientSite(site_.Get());
    InitialiseControl(object_.Get(), dispatch_.Get(), design.settings);
    if (!siteFirst) object_->SetClientSite(site_.Get());
    Connect(events);
    RECT activate = position;
    const HRESULT shown =
        object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, host, &activate);
    if (FAILED(shown)) Fail("could not be shown in its window", shown);
    object_->QueryInterface(IID_IOleInPlaceObject, inPlace_.Out());
    Move(design.placement);
  }

  // Sized from the site's rectangles: some hosts' HIMETRIC extents are not to be trusted.
  void Place(const RECT& position) {
    position_ = position;
    site_->SetPosition(position);
    if (inPlace_) inPlace_->SetObjectRects(&position, &position);
  }

  // In this order: the events stop, the control leaves its window and closes, its site goes.
  void ReleaseAll() {
    if (connection_) connection_->Unadvise(cookie_);
    connection_.Reset();
    if (sink_) sink_->Detach();
    sink_.Reset();
    if (inPlace_) inPlace_->InPlaceDeactivate();
    inPlace_.Reset();
    dispatch_.Reset();
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
    }
    object_.Reset();
    site_.Reset();
  }

  [[noreturn]] void Fail(const std::string& what, HRESULT hr) {
    throw RaisedError(kErrAutomation,
                      "The control " + progId_ + " " + what + " (" + HexResult(hr) + ")");
  }

  void Call(DISPID id, WORD flags, const std::vector<DispValue>& args) {
    const DispatchOutcome outcome = InvokeDispatch(dispatch_.Get(), id, flags, args);
    if (FAILED(outcome.result)) {
      Fail("refused call " + std::to_string(id) +
               (outcome.description.empty() ? "" : ": " + outcome.description),
           outcome.result);
    }
  }

  // Listens on the control's default event interface, as its class or type information names
  // it, or else on the first event interface it lists.
  void Connect(ControlEvents& events) {
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(object_->QueryInterface(IID_IConnectionPointContainer, container.Out()))) return;
    IID source;
    if (const std::optional<IID> named = DefaultSourceInterface(object_.Get(), classId_)) {
      ComPtr<IConnectionPoint> point;
      source = *named;
      if (SUCCEEDED(container->FindConnectionPoint(source, point.Address()))) {
        Advise(point, source, events);
      }
    }
    ComPtr<IEnumConnectionPoints> points;
    if (!connection_ && SUCCEEDED(container->EnumConnectionPoints(points.Address()))) {
      ComPtr<IConnectionPoint> point;
      while (!connection_ && points->Next(1, point.Address(), nullptr) == S_OK) {
        if (SUCCEEDED(point->GetConnectionInterface(&source)) &&
            source != IID_IPropertyNotifySink) {
          Advise(point, source, events);
        }
      }
    }
  }

  // Keeps the point when the sink is taken.
  void Advise(ComPtr<IConnectionPoint>& point, const IID& source, ControlEvents& events) {
    sink_.Attach(new EventSink(source, events));
    if (SUCCEEDED(point->Advise(sink_.Get(), &cookie_))) {
      connection_.Attach(point.Detach());
      return;
    }
    sink_.Reset();
  }

  std::string progId_;
  HWND host_;
  RECT position_{};
  CLSID classId_{};
  ComPtr<IOleObject> object_;
  ComPtr<IDispatch> dispatch_;
  ComPtr<IOleInPlaceObject> inPlace_;
  ComPtr<Site> site_;
  ComPtr<EventSink> sink_;
  ComPtr<IConnectionPoint> connection_;
  DWORD cookie_ = 0;
};

}  // namespace

void ScaleHostedControls(HWND host, SIZE from, SIZE to) {
  for (auto [at, end] = Hosted().equal_range(host); at != end; ++at) at->second->Scale(from, to);
}

std::unique_ptr<NativeControl> Win32Platform::CreateControl(Hwnd parent,
                                                            const ControlDesign& design,
                                                            ControlEvents& events) {
  return std::make_unique<HostedActiveX>(ToHwnd(parent), design, events);
}

}  // namespace vellomar::win32
