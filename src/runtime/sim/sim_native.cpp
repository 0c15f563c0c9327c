// The sim's native objects: windows, timers and recording controls for the form runtime.
#include <cmath>
#include <string>

#include "runtime/platform_constants.h"
#include "runtime/raised_error.h"
#include "runtime/sim/sim_platform.h"

namespace vellomar::sim {

LResult VELLOMAR_CALLBACK SimDefaultWndProc(Hwnd hwnd, std::uint32_t msg, WParam, LParam);

namespace {

class SimNativeWindow final : public NativeWindow {
 public:
  SimNativeWindow(SimPlatform& sim, Hwnd handle) : sim_(sim), handle_(handle) {}
  ~SimNativeWindow() override { sim_.windows().Destroy(handle_); }
  Hwnd Handle() const override { return handle_; }
  void Show() override {
    if (SimWindow* window = sim_.windows().Get(handle_)) {
      window->visible = true;
      sim_.windows().BringToFront(handle_);
    }
  }
  void SetText(const std::string& text) override {
    if (SimWindow* window = sim_.windows().Get(handle_)) window->text = text;
  }
  void Move(const Placement& placement) override {
    if (SimWindow* window = sim_.windows().Get(handle_)) {
      window->bounds = sim_.PixelsOf(placement);
    }
  }

 private:
  SimPlatform& sim_;
  Hwnd handle_;
};

class SimNativeTimer final : public NativeTimer {
 public:
  SimNativeTimer(SimPlatform& sim, TimerEvents& events) : sim_(sim), id_(sim.AddTimer(events)) {}
  ~SimNativeTimer() override { sim_.RemoveTimer(id_); }
  void Start(std::uint32_t intervalMs) override { sim_.StartTimer(id_, intervalMs); }
  void Stop() override { sim_.StopTimer(id_); }

 private:
  SimPlatform& sim_;
  int id_;
};

std::string Text(const DispValue& value) {
  if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
  if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) {
    return std::to_string(*number);
  }
  return std::get<std::string>(value);
}

class SimNativeControl final : public NativeControl {
 public:
  SimNativeControl(SimPlatform& sim, SimControl& record) : sim_(sim), record_(record) {}
  ~SimNativeControl() override {
    record_.destroyed = true;
    record_.events = nullptr;
    sim_.windows().Destroy(record_.handle);
  }
  Hwnd Handle() const override { return record_.handle; }
  void Move(const Placement& placement) override {
    Check("Move");
    record_.placement = placement;
    if (SimWindow* window = sim_.windows().Get(record_.handle)) {
      window->bounds = sim_.PixelsOf(placement);
    }
    record_.calls.push_back("Move " + std::to_string(placement.left) + "," +
                            std::to_string(placement.top) + "," +
                            std::to_string(placement.width) + "," +
                            std::to_string(placement.height));
  }
  void PutProperty(std::int32_t dispId, const DispValue& value) override {
    Check("Put");
    record_.calls.push_back("Put " + std::to_string(dispId) + " " + Text(value));
  }
  void Invoke(std::int32_t dispId, const std::vector<DispValue>& args) override {
    Check("Invoke");
    std::string call = "Invoke " + std::to_string(dispId);
    for (const DispValue& arg : args) call += " " + Text(arg);
    record_.calls.push_back(call);
  }

 private:
  void Check(const char* what) {
    if (static_cast<int>(record_.calls.size()) == record_.failAtCall) {
      throw RaisedError(kErrAutomation, std::string("The control refused the call: ") + what);
    }
  }
  SimPlatform& sim_;
  SimControl& record_;
};

}  // namespace

std::int32_t SimPlatform::TwipsToPixelsX(std::int32_t twips) const {
  return static_cast<std::int32_t>(std::lround(twips / screen.twipsPerPixelX));
}

std::int32_t SimPlatform::TwipsToPixelsY(std::int32_t twips) const {
  return static_cast<std::int32_t>(std::lround(twips / screen.twipsPerPixelY));
}

Rect SimPlatform::PixelsOf(const Placement& placement) const {
  return Rect{TwipsToPixelsX(placement.left), TwipsToPixelsY(placement.top),
              TwipsToPixelsX(placement.left + placement.width),
              TwipsToPixelsY(placement.top + placement.height)};
}

std::unique_ptr<NativeWindow> SimPlatform::CreateFormWindow(const FormDesign& design,
                                                            WindowEvents& events) {
  SimWindow window;
  window.kind = "form";
  window.text = design.caption;
  window.design = design;
  window.events = &events;
  window.backColor = design.backColor;
  window.wndProc = reinterpret_cast<std::intptr_t>(&SimDefaultWndProc);
  const Rect primary{0, 0, screen.widthPixels, screen.heightPixels};
  if (design.state != WindowState::Maximized) {
    window.bounds = Rect{0, 0, TwipsToPixelsX(design.clientWidth),
                         TwipsToPixelsY(design.clientHeight)};
  } else if (design.coversEveryMonitor && design.border == BorderStyle::None) {
    window.bounds = virtualScreen.value_or(primary);
  } else {
    window.bounds = primary;
  }
  return std::make_unique<SimNativeWindow>(*this, windows_.Add(window));
}

namespace {

SimWindow ChildWindow(SimPlatform& sim, Hwnd parent, const std::string& kind,
                      const Placement& placement) {
  SimWindow window;
  window.kind = kind;
  window.parent = parent;
  window.visible = true;
  window.wndProc = reinterpret_cast<std::intptr_t>(&SimDefaultWndProc);
  window.bounds = sim.PixelsOf(placement);
  return window;
}

}  // namespace

std::unique_ptr<NativeWindow> SimPlatform::CreatePictureBox(Hwnd parent,
                                                            const Placement& placement,
                                                            std::uint32_t backColor) {
  SimWindow window = ChildWindow(*this, parent, "picture", placement);
  window.backColor = backColor;
  return std::make_unique<SimNativeWindow>(*this, windows_.Add(window));
}

std::unique_ptr<NativeWindow> SimPlatform::CreateLabel(Hwnd parent, const Placement& placement,
                                                       const FontDesign& font) {
  SimWindow window = ChildWindow(*this, parent, "label", placement);
  window.font = font;
  return std::make_unique<SimNativeWindow>(*this, windows_.Add(window));
}

std::unique_ptr<NativeWindow> SimPlatform::CreateButton(Hwnd parent, const Placement& placement,
                                                        const std::string& caption,
                                                        WindowEvents& events) {
  SimWindow window = ChildWindow(*this, parent, "button", placement);
  window.text = caption;
  window.events = &events;
  return std::make_unique<SimNativeWindow>(*this, windows_.Add(window));
}

std::unique_ptr<NativeControl> SimPlatform::CreateControl(Hwnd parent, const ControlDesign& design,
                                                          ControlEvents& events) {
  if (unavailableProgIds.count(design.progId) > 0) {
    throw RaisedError(kErrCannotCreateObject, "Cannot create the control " + design.progId);
  }
  auto record = std::make_unique<SimControl>();
  record->progId = design.progId;
  record->host = parent;
  record->design = design;
  record->placement = design.placement;
  record->events = &events;
  if (auto fail = controlFailAtCall.find(design.progId); fail != controlFailAtCall.end()) {
    record->failAtCall = fail->second;
    controlFailAtCall.erase(fail);
  }
  record->handle = windows_.Add(ChildWindow(*this, parent, "control", design.placement));
  controls.push_back(std::move(record));
  return std::make_unique<SimNativeControl>(*this, *controls.back());
}

std::unique_ptr<NativeTimer> SimPlatform::CreateTimer(TimerEvents& events) {
  return std::make_unique<SimNativeTimer>(*this, events);
}

}  // namespace vellomar::sim
