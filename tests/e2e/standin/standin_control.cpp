// The stand-in's OLE side: identity, embedding and in-place activation, persistence, events.
#include "standin.h"

namespace standin {
namespace {

std::wstring RectText(const RECT& r)
{
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
           std::to_wstring(r.bottom);
}

bool IsEmpty(LPCRECT r) { return !r || r->right <= r->left || r->bottom <= r->top; }

template <typename T>
void ReleaseAndClear(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

}  // namespace

Control::Control() : events_(*this)
{
    InterlockedIncrement(&g_objects);
    Log(L"create");
}

Control::~Control()
{
    DestroyControlWindow();
    events_.ReleaseAll();
    ReleaseAndClear(inplace_site_);
    ReleaseAndClear(advise_sink_);
    ReleaseAndClear(site_);
    Log(L"destroy");
    InterlockedDecrement(&g_objects);
}

STDMETHODIMP Control::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else if (riid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (riid == IID_IOleControl)
        *out = static_cast<IOleControl*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_IPersist || riid == IID_IPersistStreamInit)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IPersistPropertyBag)
        *out = static_cast<IPersistPropertyBag*>(this);
    else {
        *out = nullptr;
        Log(L"qi-miss " + GuidText(riid));
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Control::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) Control::Release()
{
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

// ---- IOleObject

STDMETHODIMP Control::SetClientSite(IOleClientSite* site)
{
    Log(site ? L"ole SetClientSite set" : L"ole SetClientSite null");
    if (site)
        site->AddRef();
    ReleaseAndClear(site_);
    site_ = site;
    return S_OK;
}

STDMETHODIMP Control::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = site_;
    if (site_)
        site_->AddRef();
    return S_OK;
}

STDMETHODIMP Control::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    Log(L"ole SetHostNames");
    return S_OK;
}

STDMETHODIMP Control::Close(DWORD save)
{
    Log(L"ole Close " + std::to_wstring(save));
    if (inplace_site_ || wnd_) {
        DestroyControlWindow();
        if (inplace_site_)
            inplace_site_->OnInPlaceDeactivate();
        ReleaseAndClear(inplace_site_);
    }
    if (advise_sink_)
        advise_sink_->OnClose();
    return S_OK;
}

STDMETHODIMP Control::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP Control::GetMoniker(DWORD, DWORD, IMoniker** mk)
{
    if (mk)
        *mk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Control::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP Control::GetClipboardData(DWORD, IDataObject** data)
{
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Control::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos)
{
    Log(L"ole DoVerb " + std::to_wstring(verb));
    if (site && !site_) {
        site->AddRef();
        site_ = site;
    }
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_OPEN:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
        return Activate(verb, parent, pos);
    case OLEIVERB_HIDE:
        if (wnd_)
            ShowWindow(wnd_, SW_HIDE);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        if (verb > 0) {
            HRESULT hr = Activate(verb, parent, pos);
            return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
        }
        return E_NOTIMPL;
    }
}

HRESULT Control::Activate(LONG, HWND parent_hint, LPCRECT pos_hint)
{
    if (wnd_) {
        ShowWindow(wnd_, SW_SHOW);
        return S_OK;
    }
    HWND parent = parent_hint;
    RECT rect{};
    if (!inplace_site_ && site_)
        site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inplace_site_));
    if (inplace_site_) {
        if (inplace_site_->CanInPlaceActivate() != S_OK) {
            ReleaseAndClear(inplace_site_);
            return E_FAIL;
        }
        inplace_site_->OnInPlaceActivate();
        HWND site_wnd = nullptr;
        if (SUCCEEDED(inplace_site_->GetWindow(&site_wnd)) && site_wnd)
            parent = site_wnd;
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* doc = nullptr;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof(info);
        if (SUCCEEDED(inplace_site_->GetWindowContext(&frame, &doc, &pos, &clip, &info)))
            rect = pos;
        ReleaseAndClear(frame);
        ReleaseAndClear(doc);
    }
    if (!parent)
        return E_UNEXPECTED;
    if (IsEmpty(&rect) && !IsEmpty(pos_hint))
        rect = *pos_hint;
    if (IsEmpty(&rect))
        GetClientRect(parent, &rect);
    wnd_ = CreateControlWindow(*this, parent, rect);
    if (!wnd_)
        return E_FAIL;
    Log(L"window " + RectText(rect));
    return S_OK;
}

void Control::DestroyControlWindow()
{
    if (wnd_) {
        HWND w = wnd_;
        wnd_ = nullptr;
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        DestroyWindow(w);
    }
}

STDMETHODIMP Control::EnumVerbs(IEnumOLEVERB** verbs)
{
    if (verbs)
        *verbs = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP Control::Update() { return S_OK; }
STDMETHODIMP Control::IsUpToDate() { return S_OK; }

STDMETHODIMP Control::GetUserClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = kClsid;
    return S_OK;
}

STDMETHODIMP Control::GetUserType(DWORD, LPOLESTR* type)
{
    if (type)
        *type = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP Control::SetExtent(DWORD aspect, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    Log(L"ole SetExtent " + std::to_wstring(aspect) + L" " + std::to_wstring(size->cx) + L" " +
        std::to_wstring(size->cy));
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP Control::GetExtent(DWORD, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    if (extent_.cx > 0 && extent_.cy > 0) {
        *size = extent_;
        return S_OK;
    }
    // HIMETRIC of the window at 96 dots per inch; a fixed size before the window exists.
    RECT r{0, 0, 320, 240};
    if (wnd_)
        GetClientRect(wnd_, &r);
    size->cx = MulDiv(r.right - r.left, 2540, 96);
    size->cy = MulDiv(r.bottom - r.top, 2540, 96);
    return S_OK;
}

STDMETHODIMP Control::Advise(IAdviseSink* sink, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    Log(L"ole Advise");
    sink->AddRef();
    ReleaseAndClear(advise_sink_);
    advise_sink_ = sink;
    *cookie = 1;
    return S_OK;
}

STDMETHODIMP Control::Unadvise(DWORD cookie)
{
    Log(L"ole Unadvise " + std::to_wstring(cookie));
    if (cookie != 1 || !advise_sink_)
        return OLE_E_NOCONNECTION;
    ReleaseAndClear(advise_sink_);
    return S_OK;
}

STDMETHODIMP Control::EnumAdvise(IEnumSTATDATA** advise)
{
    if (advise)
        *advise = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Control::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

STDMETHODIMP Control::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- IOleWindow, IOleInPlaceObject

STDMETHODIMP Control::GetWindow(HWND* wnd)
{
    if (!wnd)
        return E_POINTER;
    *wnd = wnd_;
    return wnd_ ? S_OK : E_FAIL;
}

STDMETHODIMP Control::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP Control::InPlaceDeactivate()
{
    Log(L"inplace InPlaceDeactivate");
    DestroyControlWindow();
    if (inplace_site_)
        inplace_site_->OnInPlaceDeactivate();
    ReleaseAndClear(inplace_site_);
    return S_OK;
}

STDMETHODIMP Control::UIDeactivate()
{
    Log(L"inplace UIDeactivate");
    return S_OK;
}

STDMETHODIMP Control::SetObjectRects(LPCRECT pos, LPCRECT)
{
    if (!pos)
        return E_POINTER;
    Log(L"inplace SetObjectRects " + RectText(*pos));
    if (wnd_)
        MoveWindow(wnd_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP Control::ReactivateAndUndo() { return E_NOTIMPL; }

// ---- IOleControl

STDMETHODIMP Control::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    Log(L"control GetControlInfo");
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP Control::OnMnemonic(MSG*) { return E_NOTIMPL; }

STDMETHODIMP Control::OnAmbientPropertyChange(DISPID id)
{
    Log(L"control OnAmbientPropertyChange " + std::to_wstring(id));
    return S_OK;
}

STDMETHODIMP Control::FreezeEvents(BOOL freeze)
{
    Log(freeze ? L"control FreezeEvents true" : L"control FreezeEvents false");
    return S_OK;
}

// ---- IConnectionPointContainer

namespace {

// Lists the control's one connection point, as a container's enumerator does; hosts that look
// for the control's event interface this way find FSCommand's.
class PointList final : public IEnumConnectionPoints {
public:
    explicit PointList(IConnectionPoint* point, ULONG next = 0) : point_(point), next_(next) { point_->AddRef(); }
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid != IID_IUnknown && riid != IID_IEnumConnectionPoints) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IEnumConnectionPoints*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override
    {
        ULONG given = 0;
        if (count > 0 && next_ == 0) {
            points[0] = point_;
            point_->AddRef();
            next_ = given = 1;
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override { return (next_ += count) <= 1 ? S_OK : S_FALSE; }
    STDMETHODIMP Reset() override
    {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnectionPoints** out) override
    {
        *out = new PointList(point_, next_);
        return S_OK;
    }

private:
    ~PointList() { point_->Release(); }
    LONG refs_ = 1;
    IConnectionPoint* point_;
    ULONG next_;
};

}  // namespace

STDMETHODIMP Control::EnumConnectionPoints(IEnumConnectionPoints** out)
{
    if (!out)
        return E_POINTER;
    *out = new PointList(&events_);
    return S_OK;
}

STDMETHODIMP Control::FindConnectionPoint(REFIID riid, IConnectionPoint** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (riid != kEventsIid)
        return CONNECT_E_NOCONNECTION;
    *out = &events_;
    events_.AddRef();
    return S_OK;
}

// ---- IPersist, IPersistStreamInit, IPersistPropertyBag: nothing is kept, everything succeeds.

STDMETHODIMP Control::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = kClsid;
    return S_OK;
}

STDMETHODIMP Control::IsDirty() { return S_FALSE; }

STDMETHODIMP Control::Load(LPSTREAM)
{
    Log(L"persist Load stream");
    return S_OK;
}

STDMETHODIMP Control::Save(LPSTREAM, BOOL) { return S_OK; }

STDMETHODIMP Control::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

STDMETHODIMP Control::InitNew()
{
    Log(L"persist InitNew");
    return S_OK;
}

STDMETHODIMP Control::Load(IPropertyBag*, IErrorLog*)
{
    Log(L"persist Load bag");
    return S_OK;
}

STDMETHODIMP Control::Save(IPropertyBag*, BOOL, BOOL) { return S_OK; }

// ---- ConnectionPoint: shares the control's life.

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return static_cast<IDispatch&>(owner_).AddRef(); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() { return static_cast<IDispatch&>(owner_).Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = kEventsIid;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    if (!out)
        return E_POINTER;
    *out = static_cast<IConnectionPointContainer*>(&owner_);
    (*out)->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    IDispatch* disp = nullptr;
    // Event sinks answer to the events interface's id; some only to IDispatch.
    if (FAILED(sink->QueryInterface(kEventsIid, reinterpret_cast<void**>(&disp))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = next_cookie_++;
    sinks_[*cookie] = disp;
    Log(L"cp Advise " + std::to_wstring(*cookie));
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    Log(L"cp Unadvise " + std::to_wstring(cookie));
    auto it = sinks_.find(cookie);
    if (it == sinks_.end())
        return CONNECT_E_NOCONNECTION;
    IDispatch* disp = it->second;
    sinks_.erase(it);
    disp->Release();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

int ConnectionPoint::FireFSCommand(const std::wstring& command, const std::wstring& args)
{
    // A sink may unadvise, or release the control, while it handles the event.
    std::vector<IDispatch*> targets;
    for (auto& [cookie, disp] : sinks_) {
        disp->AddRef();
        targets.push_back(disp);
    }
    VARIANT argv[2];
    VariantInit(&argv[0]);
    VariantInit(&argv[1]);
    V_VT(&argv[0]) = VT_BSTR;
    V_BSTR(&argv[0]) = SysAllocStringLen(args.data(), static_cast<UINT>(args.size()));
    V_VT(&argv[1]) = VT_BSTR;
    V_BSTR(&argv[1]) = SysAllocStringLen(command.data(), static_cast<UINT>(command.size()));
    DISPPARAMS params{argv, nullptr, 2, 0};
    for (IDispatch* disp : targets) {
        disp->Invoke(kDispFSCommand, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                     nullptr);
        disp->Release();
    }
    VariantClear(&argv[0]);
    VariantClear(&argv[1]);
    return static_cast<int>(targets.size());
}

void ConnectionPoint::ReleaseAll()
{
    for (auto& [cookie, disp] : sinks_)
        disp->Release();
    sinks_.clear();
}

}  // namespace standin
