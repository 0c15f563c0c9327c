#include "startup/main.h"

#include <algorithm>
#include <string>

#include "config/configuration.h"
#include "notice/flash_form.h"
#include "preview/control_form.h"
#include "runtime/number_text.h"
#include "saver/bakform.h"
#include "system/platform_facts.h"

namespace vellomar {

namespace {

// The first two characters of the argument text, upper-cased; none means "/C".
std::string SwitchOf(const std::string& args) {
  std::string result = args.substr(0, 2);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result.empty() ? "/C" : result;
}

// The window handle after the switch; a handle outside 32 bits raises an overflow.
Hwnd HandleNumber(const std::string& args) {
  const std::string_view afterSwitch =
      std::string_view(args).substr(std::min<std::size_t>(2, args.size()));
  return CheckedInt32(LeadingNumber(afterSwitch));
}

}  // namespace

void Main(Program& program) {
  ProgramValues& values = program.values();
  Platform& platform = program.platform();
  values.TwipsPerPixelX = CheckedInt16(program.Screen().TwipsPerPixelX);
  values.TwipsPerPixelY = CheckedInt16(program.Screen().TwipsPerPixelY);

  const std::string args = platform.CommandArgs();
  const std::string switchText = SwitchOf(args);
  if (switchText == "/C") {
    program.Show<Configuration>();
  } else if (switchText == "/S") {
    if (IsFirstInstance(platform, kGuardCaption) != kFalse) {
      program.Load<bakform>();
      program.Show<bakform>();
    }
  } else if (switchText == "/P") {
    values.PreviewParent = HandleNumber(args);
    program.Load<ControlForm>();
  } else if (switchText == "/A") {
    values.PreviewParent = HandleNumber(args);
    platform.PwdChangePasswordA("SCRSAVE", values.PreviewParent, 0, 0);
  } else if (switchText == "/F") {
    program.Load<FlashForm>();
    program.Show<FlashForm>();
  }
}

}  // namespace vellomar
