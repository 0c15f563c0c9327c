// One run of the program: the form runtime (load, show, unload, end, the lifetime rule), event
// delivery with the runtime error report, and the program-wide values.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

#include "runtime/platform.h"
#include "runtime/program_values.h"

namespace vellomar {

class Form;

inline constexpr std::uint32_t kRuntimeErrorExitCode = 1;

struct ScreenObject {
  double Width = 0;  // twips
  double Height = 0;
  double TwipsPerPixelX = 0;
  double TwipsPerPixelY = 0;
};

class Program {
 public:
  explicit Program(Platform& platform);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The program running now, for code the platform calls directly (window procedures).
  static Program& Current();

  Platform& platform() { return platform_; }
  ProgramValues& values() { return values_; }
  ScreenObject Screen();

  // Calls entry, then delivers events until the program ends.
  void Run(const std::function<void(Program&)>& entry);

  // A form is one default instance of its class, which exists while the form is loaded.
  template <class F>
  F& Load() {
    if (F* loaded = Find<F>()) return *loaded;
    auto form = std::make_unique<F>(*this);
    F& ref = *form;
    Adopt(typeid(F), std::move(form));
    ref.Load();
    return ref;
  }
  template <class F>
  F& Show() {
    F& form = Load<F>();
    ShowForm(form);
    return form;
  }
  template <class F>
  void Unload() {
    if (F* loaded = Find<F>()) Unload(*loaded);
  }
  template <class F>
  F* Find() {
    auto found = forms_.find(typeid(F));
    return found == forms_.end() ? nullptr : static_cast<F*>(found->second.get());
  }
  // QueryUnload, which may cancel; then Unload and the form's destruction. A request made while
  // the form's own QueryUnload or Unload runs does nothing.
  void Unload(Form& form);
  // Stops the program at once: no further handler runs.
  void End();

  // Runs an event handler. A failure it does not handle ends the program with the runtime
  // error report.
  void Deliver(const std::function<void()>& handler);

 private:
  void Adopt(std::type_index type, std::unique_ptr<Form> form);
  void ShowForm(Form& form);
  void ReportAndExit(std::int32_t number, const std::string& description);

  Platform& platform_;
  ProgramValues values_{};
  std::map<std::type_index, std::unique_ptr<Form>> forms_;
  // Unloaded forms whose handlers may still be on the stack; freed when delivery unwinds.
  std::vector<std::unique_ptr<Form>> unloaded_;
  int deliveryDepth_ = 0;
  bool entryReturned_ = false;
  bool ended_ = false;
  Program* previous_ = nullptr;
};

}  // namespace vellomar
