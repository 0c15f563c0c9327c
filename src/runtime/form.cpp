#include "runtime/form.h"

#include "runtime/controls.h"
#include "runtime/platform.h"
#include "runtime/program.h"

namespace vellomar {

FormDesign DialogDesign(std::int32_t clientWidth, std::int32_t clientHeight, std::uint32_t backColor) {
  FormDesign design;
  design.border = BorderStyle::FixedSingle;
  design.backColor = backColor;
  design.clientWidth = clientWidth;
  design.clientHeight = clientHeight;
  design.centred = true;
  design.icon = true;
  design.minButton = false;
  design.maxButton = false;
  return design;
}

Form::Form(Program& program, const FormDesign& design)
    : program_(program), window_(program.platform().CreateFormWindow(design, *this)) {}

Form::~Form() { DestroyNative(); }

Hwnd Form::hWnd() const { return window_ ? window_->Handle() : 0; }

void Form::SetCaption(const std::string& caption) {
  if (window_) window_->SetText(caption);
}

void Form::Show() {
  if (window_) window_->Show();
}

void Form::DestroyNative() {
  for (auto control = controls_.rbegin(); control != controls_.rend(); ++control) {
    (*control)->DestroyNative();
  }
  controls_.clear();
  window_.reset();
}

void Form::OnKeyDown(std::int16_t keyCode, std::int16_t shift) {
  program_.Deliver([=, this] { KeyDown(keyCode, shift); });
}

void Form::OnMouseDown(std::int16_t /*button*/) {
  program_.Deliver([this] { MouseDown(); });
}

void Form::OnMouseMove() {
  program_.Deliver([this] { MouseMove(); });
}

void Form::OnCloseRequest() {
  program_.Deliver([this] { program_.Unload(*this); });
}

}  // namespace vellomar
