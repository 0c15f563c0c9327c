#include "saver/full_screen_design.h"

namespace vellomar {

namespace {
constexpr std::uint32_t kBlack = 0x000000;
}

FormDesign FullScreenDesign(const std::string& caption) {
  FormDesign design;
  design.caption = caption;
  design.border = BorderStyle::None;
  design.state = WindowState::Maximized;
  design.backColor = kBlack;
  // The design-time size is small; maximizing makes the window cover the screen.
  design.clientWidth = 4800;
  design.clientHeight = 3600;
  design.showInTaskbar = false;
  design.icon = false;
  design.minButton = false;
  design.maxButton = false;
  return design;
}

FormDesign EveryMonitorDesign(const std::string& caption) {
  FormDesign design = FullScreenDesign(caption);
  design.coversEveryMonitor = true;
  return design;
}

}  // namespace vellomar
