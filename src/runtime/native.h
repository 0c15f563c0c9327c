// The native objects a platform makes for the form runtime, and the events they report back.
// Destroying a native object destroys what it stands for (window, timer, hosted control).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/platform_types.h"

namespace vellomar {

// Events of a form window or a button, reported on the user-interface thread.
class WindowEvents {
 public:
  virtual void OnKeyDown(std::int16_t keyCode, std::int16_t shift) = 0;
  virtual void OnMouseDown(std::int16_t button) = 0;
  // Only a real change of the cursor position is reported.
  virtual void OnMouseMove() = 0;
  // The close box, the system menu, or a close message: the runtime decides whether it closes.
  virtual void OnCloseRequest() = 0;
  virtual void OnClick() = 0;

 protected:
  ~WindowEvents() = default;
};

class TimerEvents {
 public:
  virtual void OnTick() = 0;

 protected:
  ~TimerEvents() = default;
};

class ControlEvents {
 public:
  // An event of a hosted control, by its dispatch id on the control's event interface.
  virtual void OnControlEvent(std::int32_t dispId, const std::vector<std::string>& args) = 0;

 protected:
  ~ControlEvents() = default;
};

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual Hwnd Handle() const = 0;
  // Visible, not modal, no owner.
  virtual void Show() = 0;
  // Window text, UTF-8; it reaches the window unchanged whatever the code page.
  virtual void SetText(const std::string& text) = 0;
  // In twips of the window's parent.
  virtual void Move(const Placement& placement) = 0;
};

class NativeTimer {
 public:
  virtual ~NativeTimer() = default;
  // Ticks every interval milliseconds until stopped; starting again restarts the count.
  // Raises RaisedError when the platform has no timer to give.
  virtual void Start(std::uint32_t intervalMs) = 0;
  virtual void Stop() = 0;
};

class NativeControl {
 public:
  virtual ~NativeControl() = default;
  virtual Hwnd Handle() const = 0;
  // In twips of the control's host window.
  virtual void Move(const Placement& placement) = 0;
  // Both raise a RaisedError when the control refuses.
  virtual void PutProperty(std::int32_t dispId, const DispValue& value) = 0;
  virtual void Invoke(std::int32_t dispId, const std::vector<DispValue>& args) = 0;
};

}  // namespace vellomar
