#include "runtime/controls.h"

#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/program.h"

namespace vellomar {

Control::Control(Form& owner) : owner_(owner) { owner.Register(*this); }

Control::~Control() { owner_.Unregister(*this); }

void Control::Deliver(const std::function<void()>& handler) {
  owner_.program().Deliver(handler);
}

Timer::Timer(Form& owner, std::uint32_t intervalMs, bool enabled, std::function<void()> onTick)
    : Control(owner),
      intervalMs_(intervalMs),
      onTick_(std::move(onTick)),
      native_(owner.program().platform().CreateTimer(*this)) {
  SetEnabled(enabled);
}

void Timer::SetEnabled(bool enabled) {
  if (!native_) return;
  if (enabled && intervalMs_ > 0) {
    native_->Start(intervalMs_);
  } else {
    native_->Stop();
  }
}

void Timer::OnTick() { Deliver(onTick_); }

PictureBox::PictureBox(Form& owner, const Placement& placement, std::uint32_t backColor)
    : Control(owner),
      placement_(placement),
      native_(owner.program().platform().CreatePictureBox(owner.hWnd(), placement, backColor)) {}

void PictureBox::Move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) {
  placement_ = Placement{left, top, width, height};
  if (native_) native_->Move(placement_);
}

Label::Label(Form& owner, const Placement& placement, const FontDesign& font)
    : Control(owner),
      native_(owner.program().platform().CreateLabel(owner.hWnd(), placement, font)) {}

void Label::SetCaption(const std::string& caption) {
  if (native_) native_->SetText(caption);
}

Button::Button(Form& owner, const Placement& placement, const std::string& caption,
               std::function<void()> onClick)
    : Control(owner),
      onClick_(std::move(onClick)),
      native_(owner.program().platform().CreateButton(owner.hWnd(), placement, caption, *this)) {}

void Button::OnClick() { Deliver(onClick_); }

HostedControl::HostedControl(Form& owner, Hwnd host, const ControlDesign& design,
                             EventHandler onEvent)
    : Control(owner),
      placement_(design.placement),
      onEvent_(std::move(onEvent)),
      native_(owner.program().platform().CreateControl(host, design, *this)) {}

NativeControl& HostedControl::native() { return *native_; }

void HostedControl::Reposition(std::int32_t Placement::*field, std::int32_t twips) {
  placement_.*field = twips;
  native().Move(placement_);
}

void HostedControl::SetLeft(std::int32_t twips) { Reposition(&Placement::left, twips); }
void HostedControl::SetTop(std::int32_t twips) { Reposition(&Placement::top, twips); }
void HostedControl::SetWidth(std::int32_t twips) { Reposition(&Placement::width, twips); }
void HostedControl::SetHeight(std::int32_t twips) { Reposition(&Placement::height, twips); }

void HostedControl::Put(std::int32_t dispId, const DispValue& value) {
  native().PutProperty(dispId, value);
}

void HostedControl::Call(std::int32_t dispId, const std::vector<DispValue>& args) {
  native().Invoke(dispId, args);
}

void HostedControl::OnControlEvent(std::int32_t dispId, const std::vector<std::string>& args) {
  if (onEvent_) Deliver([&] { onEvent_(dispId, args); });
}

}  // namespace vellomar
