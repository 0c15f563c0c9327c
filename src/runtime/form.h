// A form: a window built from design-time properties whose behaviour lies in event handlers.
// The object exists while the form is loaded; its controls register with it so that unloading
// destroys them before the window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/native.h"
#include "runtime/platform_types.h"

namespace vellomar {

class Program;
class Control;

// A dialog's design: a fixed single border, centred on the screen, the program's icon and no
// minimize or maximize button.
FormDesign DialogDesign(std::int32_t clientWidth, std::int32_t clientHeight, std::uint32_t backColor);

class Form : private WindowEvents {
 public:
  Form(Program& program, const FormDesign& design);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Hwnd hWnd() const;
  void SetCaption(const std::string& caption);
  Program& program() { return program_; }

  // Event handlers.
  virtual void Load() {}
  virtual void QueryUnload(std::int16_t& /*cancel*/) {}
  virtual void Unload() {}
  virtual void KeyDown(std::int16_t /*keyCode*/, std::int16_t /*shift*/) {}
  virtual void MouseDown() {}
  virtual void MouseMove() {}
  // The runtime error report is about to end the program: put right what the form did to the
  // system (a hidden cursor, a notice given), so the report is usable and nothing outlives us.
  virtual void BeforeErrorReport() {}

 private:
  friend class Program;
  friend class Control;

  void OnKeyDown(std::int16_t keyCode, std::int16_t shift) override;
  void OnMouseDown(std::int16_t button) override;
  void OnMouseMove() override;
  void OnCloseRequest() override;
  void OnClick() override {}

  void Register(Control& control) { controls_.push_back(&control); }
  void Unregister(Control& control) { std::erase(controls_, &control); }
  void Show();
  // Destroys the controls, newest first, then the window.
  void DestroyNative();

  Program& program_;
  std::unique_ptr<NativeWindow> window_;
  std::vector<Control*> controls_;
  // Its QueryUnload or Unload is running: a nested request to unload it is dropped.
  bool unloading_ = false;
};

}  // namespace vellomar
