// A COM object of ours with one interface: counted references, deleted with the last one, and a
// QueryInterface that answers IUnknown and whatever interface ids the object stands for.
#pragma once

#include <unknwn.h>

namespace vellomar::win32 {

template <typename Interface>
class ComObject : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid != IID_IUnknown && !Answers(riid)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;
  // The interface ids besides IUnknown that this object answers.
  virtual bool Answers(REFIID riid) const = 0;

 private:
  ULONG references_ = 1;
};

}  // namespace vellomar::win32
