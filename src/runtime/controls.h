// The controls a form can hold. Each is created with its form and destroyed with it; its
// events are delivered through the form runtime like the form's own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/native.h"
#include "runtime/platform_types.h"

namespace vellomar {

class Form;

class Control {
 public:
  // A control whose creation failed leaves its form again, so the form never reaches a
  // half-built control.
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

 protected:
  explicit Control(Form& owner);
  Form& owner() { return owner_; }
  void Deliver(const std::function<void()>& handler);

 private:
  friend class Form;
  virtual void DestroyNative() = 0;
  Form& owner_;
};

class Timer final : public Control, private TimerEvents {
 public:
  Timer(Form& owner, std::uint32_t intervalMs, bool enabled, std::function<void()> onTick);
  void SetEnabled(bool enabled);

 private:
  void OnTick() override;
  void DestroyNative() override { native_.reset(); }
  std::uint32_t intervalMs_;
  std::function<void()> onTick_;
  std::unique_ptr<NativeTimer> native_;
};

class PictureBox final : public Control {
 public:
  PictureBox(Form& owner, const Placement& placement, std::uint32_t backColor);
  Hwnd hWnd() const { return native_ ? native_->Handle() : 0; }
  void Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  std::int32_t Width() const { return placement_.width; }
  std::int32_t Height() const { return placement_.height; }

 private:
  void DestroyNative() override { native_.reset(); }
  Placement placement_;
  std::unique_ptr<NativeWindow> native_;
};

class Label final : public Control {
 public:
  Label(Form& owner, const Placement& placement, const FontDesign& font);
  void SetCaption(const std::string& caption);

 private:
  void DestroyNative() override { native_.reset(); }
  std::unique_ptr<NativeWindow> native_;
};

class Button final : public Control, private WindowEvents {
 public:
  Button(Form& owner, const Placement& placement, const std::string& caption,
         std::function<void()> onClick);

 private:
  void OnKeyDown(std::int16_t, std::int16_t) override {}
  void OnMouseDown(std::int16_t) override {}
  void OnMouseMove() override {}
  void OnCloseRequest() override {}
  void OnClick() override;
  void DestroyNative() override { native_.reset(); }
  std::function<void()> onClick_;
  std::unique_ptr<NativeWindow> native_;
};

// A control hosted by ProgID and driven through its dispatch interface. Its placement
// properties move it one at a time, as a form's code sets them.
class HostedControl final : public Control, private ControlEvents {
 public:
  using EventHandler = std::function<void(std::int32_t dispId, const std::vector<std::string>&)>;
  HostedControl(Form& owner, Hwnd host, const ControlDesign& design, EventHandler onEvent);

  void SetLeft(std::int32_t twips);
  void SetTop(std::int32_t twips);
  void SetWidth(std::int32_t twips);
  void SetHeight(std::int32_t twips);
  const Placement& placement() const { return placement_; }
  void Put(std::int32_t dispId, const DispValue& value);
  void Call(std::int32_t dispId, const std::vector<DispValue>& args);

 private:
  void OnControlEvent(std::int32_t dispId, const std::vector<std::string>& args) override;
  void DestroyNative() override { native_.reset(); }
  void Reposition(std::int32_t Placement::*field, std::int32_t twips);
  NativeControl& native();
  Placement placement_;
  EventHandler onEvent_;
  std::unique_ptr<NativeControl> native_;
};

}  // namespace vellomar
