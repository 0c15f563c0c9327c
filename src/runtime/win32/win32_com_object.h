// A COM object of ours with one interface or more: counted references, deleted with the last one,
// and a QueryInterface that answers IUnknown (through the first interface) and whatever interfaces
// the object stands for.
#pragma once

#include <unknwn.h>

namespace vellomar::win32 {

template <typename First, typename... Others>
class ComObject : public First, public Others... {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = riid == IID_IUnknown ? static_cast<First*>(this) : Interface(riid);
    if (!*out) return E_NOINTERFACE;
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
  // The object as the interface riid names, besides IUnknown; null for one it does not answer.
  virtual void* Interface(REFIID riid) = 0;

 private:
  ULONG references_ = 1;
};

}  // namespace vellomar::win32
