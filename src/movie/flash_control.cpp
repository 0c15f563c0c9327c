#include "movie/flash_control.h"

#include <utility>

namespace vellomar {

namespace {

ControlDesign FlashDesign(const Placement& placement, MovieMenu menu) {
  return ControlDesign{kFlashProgId,
                       placement,
                       {{"WMode", std::string("Window")},
                        {"Quality", std::string("High")},
                        {"AllowScriptAccess", std::string("always")},
                        {"Scale", std::string("ShowAll")},
                        {"Play", true},
                        {"Loop", true},
                        {"DeviceFont", false},
                        {"EmbedMovie", false},
                        {"Menu", menu == MovieMenu::On}}};
}

}  // namespace

FlashControl::FlashControl(Form& owner, Hwnd host, const Placement& placement, MovieMenu menu,
                           CommandHandler onCommand)
    : control_(owner, host, FlashDesign(placement, menu),
               [onCommand = std::move(onCommand)](std::int32_t dispId,
                                                  const std::vector<std::string>& args) {
                 if (dispId != kDispFsCommand || !onCommand) return;
                 onCommand(args.size() > 0 ? args[0] : std::string(),
                           args.size() > 1 ? args[1] : std::string());
               }) {}

void FlashControl::SetMovie(const std::string& file) { control_.Put(kDispMovie, file); }

void FlashControl::SetVariable(const std::string& name, const std::string& value) {
  control_.Call(kDispSetVariable, {name, value});
}

void FlashControl::Play() { control_.Call(kDispPlay, {}); }

}  // namespace vellomar
