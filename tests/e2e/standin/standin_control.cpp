// The stand-in's OLE side: identity, the mode's interfaces, embedding and in-place activation.
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

Control::Control(Mode mode)
    : mode_(mode), status_events_(*this, kStatusEventsIid), movie_events_(*this, kEventsIid)
{
    InterlockedIncrement(&g_objects);
    Log(L"create");
}

Control::~Control()
{
    DestroyControlWindow();
    status_events_.ReleaseAll();
    movie_events_.ReleaseAll();
    ReleaseAndClear(type_info_);
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
    else if ((riid == IID_IPersist || riid == IID_IPersistStreamInit) && mode_ != Mode::Bare)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IPersistPropertyBag && mode_ == Mode::Bag)
        *out = static_cast<IPersistPropertyBag*>(this);
    else if ((riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) && mode_ != Mode::Bare)
        *out = static_cast<IProvideClassInfo2*>(this);
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

}  // namespace standin
