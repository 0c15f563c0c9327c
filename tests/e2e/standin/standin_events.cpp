// The stand-in's outgoing interfaces: two connection points, status events first and movie events
// second, as a control with several event interfaces lists them. Only the movie events carry
// FSCommand, so a host must find the right one through class or type information.
#include "standin.h"

namespace standin {
namespace {

// Enumerates the control's connection points in a fixed order.
class PointList final : public IEnumConnectionPoints {
public:
    PointList(std::vector<IConnectionPoint*> points, ULONG next) : points_(std::move(points)), next_(next)
    {
        for (IConnectionPoint* p : points_)
            p->AddRef();
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IEnumConnectionPoints) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IEnumConnectionPoints*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override
    {
        if (!points || (count > 1 && !fetched))
            return E_POINTER;
        ULONG given = 0;
        while (given < count && next_ < points_.size()) {
            points[given] = points_[next_++];
            points[given++]->AddRef();
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        ULONG left = static_cast<ULONG>(points_.size()) - next_;
        next_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnectionPoints** out) override
    {
        if (!out)
            return E_POINTER;
        *out = new PointList(points_, next_);
        return S_OK;
    }

private:
    ~PointList()
    {
        for (IConnectionPoint* p : points_)
            p->Release();
    }
    LONG refs_ = 1;
    std::vector<IConnectionPoint*> points_;
    ULONG next_;
};

}  // namespace

STDMETHODIMP Control::EnumConnectionPoints(IEnumConnectionPoints** out)
{
    if (!out)
        return E_POINTER;
    *out = new PointList({&status_events_, &movie_events_}, 0);
    return S_OK;
}

STDMETHODIMP Control::FindConnectionPoint(REFIID riid, IConnectionPoint** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (ConnectionPoint* point : {&status_events_, &movie_events_}) {
        if (riid == point->Iid()) {
            *out = point;
            point->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

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
    *iid = iid_;
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
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&disp))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = next_cookie_++;
    sinks_[*cookie] = disp;
    Log(L"cp Advise " + GuidText(iid_) + L" " + std::to_wstring(*cookie));
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    Log(L"cp Unadvise " + GuidText(iid_) + L" " + std::to_wstring(cookie));
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

int ConnectionPoint::Fire(DISPID id, std::span<VARIANT> args)
{
    // A sink may unadvise, or release the control, while it handles the event.
    std::vector<IDispatch*> targets;
    for (auto& [cookie, disp] : sinks_) {
        disp->AddRef();
        targets.push_back(disp);
    }
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    for (IDispatch* disp : targets) {
        disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        disp->Release();
    }
    return static_cast<int>(targets.size());
}

void ConnectionPoint::ReleaseAll()
{
    for (auto& [cookie, disp] : sinks_)
        disp->Release();
    sinks_.clear();
}

}  // namespace standin
