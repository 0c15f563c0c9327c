#include "saver/browser.h"

#include <string>

#include "runtime/platform_constants.h"
#include "saver/main_form.h"
#include "settings/registry.h"

namespace vellomar {

namespace {

constexpr std::uint32_t kCloseRequestMs = 1000;

FormDesign BrowserDesign() {
  FormDesign design;
  design.border = BorderStyle::Sizable;
  design.clientWidth = 4680;
  design.clientHeight = 3195;
  design.showInTaskbar = false;
  design.icon = true;
  return design;
}

}  // namespace

browser::browser(Program& program)
    : Form(program, BrowserDesign()),
      // Silent: the page never puts up a dialog of its own over the saver.
      WebBrowser1(*this, hWnd(),
                  ControlDesign{kBrowserProgId, {0, 0, 4455, 2175}, {{"Silent", true}}}, {}),
      // Never disabled: a refused close is asked again a second later.
      Timer1(*this, kCloseRequestMs, false, [this] { this->program().Unload<MainForm>(); }) {}

void browser::Load() {
  Platform& platform = program().platform();
  const std::string path =
      RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "path");
  WebBrowser1.Put(kDispAddressBar, false);
  WebBrowser1.Call(kDispNavigate, {"file://" + path + "\\buy.htm"});
  Timer1.SetEnabled(true);
}

}  // namespace vellomar
