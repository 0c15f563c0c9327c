#include "runtime/program.h"

#include <algorithm>
#include <cassert>
#include <new>

#include "runtime/form.h"
#include "runtime/raised_error.h"

namespace vellomar {

namespace {
Program* current = nullptr;
}

Program::Program(Platform& platform) : platform_(platform), previous_(current) {
  current = this;
}

Program::~Program() {
  // Forms go first: their controls and windows belong to the platform of this run.
  for (auto& [type, form] : forms_) form->DestroyNative();
  forms_.clear();
  unloaded_.clear();
  current = previous_;
}

Program& Program::Current() {
  assert(current != nullptr);
  return *current;
}

ScreenObject Program::Screen() {
  const ScreenMetrics metrics = platform_.Screen();
  return ScreenObject{metrics.widthPixels * metrics.twipsPerPixelX,
                      metrics.heightPixels * metrics.twipsPerPixelY, metrics.twipsPerPixelX,
                      metrics.twipsPerPixelY};
}

void Program::Run(const std::function<void(Program&)>& entry) {
  Deliver([&] { entry(*this); });
  entryReturned_ = true;
  if (forms_.empty()) platform_.ExitProcess(0);
  platform_.RunMessageLoop();
}

void Program::Adopt(std::type_index type, std::unique_ptr<Form> form) {
  forms_.emplace(type, std::move(form));
}

void Program::ShowForm(Form& form) { form.Show(); }

void Program::Unload(Form& form) {
  const auto loaded = [&] {
    return std::find_if(forms_.begin(), forms_.end(),
                        [&](const auto& entry) { return entry.second.get() == &form; });
  };
  // A handler of the unload may run a nested loop (a modal dialog) whose events ask again.
  if (loaded() == forms_.end() || form.unloading_) return;

  form.unloading_ = true;
  std::int16_t cancel = 0;
  form.QueryUnload(cancel);
  if (cancel != 0) {
    form.unloading_ = false;
    return;
  }
  form.Unload();

  // The handlers above may have unloaded it already (or ended the program).
  const auto entry = loaded();
  if (entry == forms_.end()) return;
  form.DestroyNative();
  unloaded_.push_back(std::move(entry->second));
  forms_.erase(entry);

  if (entryReturned_ && forms_.empty()) End();
}

void Program::End() {
  ended_ = true;
  platform_.ExitProcess(0);
}

void Program::Deliver(const std::function<void()>& handler) {
  if (ended_) return;
  ++deliveryDepth_;
  try {
    handler();
  } catch (const RaisedError& error) {
    ReportAndExit(error.number(), error.description());
  } catch (const std::bad_alloc&) {
    ReportAndExit(kErrOutOfMemory, "Out of memory");
  } catch (const std::exception& error) {
    ReportAndExit(kErrInternal, error.what());
  }
  if (--deliveryDepth_ == 0) unloaded_.clear();
}

void Program::ReportAndExit(std::int32_t number, const std::string& description) {
  ended_ = true;
  for (const auto& [type, form] : forms_) form->BeforeErrorReport();
  platform_.ShowErrorReport(number, description);
  platform_.ExitProcess(kRuntimeErrorExitCode);
}

}  // namespace vellomar
