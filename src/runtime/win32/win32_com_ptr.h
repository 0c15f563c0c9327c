// An owned COM interface pointer: released when it goes, filled through Out().
#pragma once

#include <unknwn.h>

#include <utility>

namespace vellomar::win32 {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For a call that hands out a new reference; the old one is released first.
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  Interface** Address() {
    Reset();
    return &pointer_;
  }
  // Takes over a reference, releasing the one held.
  void Attach(Interface* pointer) {
    Reset();
    pointer_ = pointer;
  }
  Interface* Detach() { return std::exchange(pointer_, nullptr); }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace vellomar::win32
