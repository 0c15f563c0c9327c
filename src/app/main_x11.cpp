// The Linux entry point: GTK on X11, then the real platform runs the program from Main.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/program.h"
#include "runtime/x11/x11_platform.h"
#include "runtime/x11/x11_user_folders.h"
#include "runtime/x11/x11_xscreensaver_preferences.h"
#include "startup/main.h"
#include "system/platform_facts.h"

int main(int argc, char** argv) {
  // Changes a file only, so it needs no display.
  if (argc > 1 && std::string_view(argv[1]) == "--add-to-xscreensaver") {
    const vellomar::x11::CommandReport report =
        argc == 2 ? vellomar::x11::AddToXScreenSaver(vellomar::x11::HomeFolder(),
                                                     vellomar::x11::kXScreenSaverAppDefaults)
                  : vellomar::x11::CommandReport{false, "--add-to-xscreensaver takes no arguments"};
    std::fprintf(report.succeeded ? stdout : stderr, "vellomar: %s\n", report.line.c_str());
    return report.succeeded ? 0 : 1;
  }
  // Foreign windows, grabs and the input guard need X; under Wayland only XWayland serves.
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "vellomar: cannot open the X display\n");
    return 1;
  }
  vellomar::x11::X11Platform platform(std::vector<std::string>(argv + 1, argv + argc));
  const auto refuse = [&platform](const std::string& why) {
    platform.Report(why);
    return 1;
  };
  if (!platform.WatchTheRootRoleWindow()) {
    return refuse("the window to draw into no longer exists (XSCREENSAVER_WINDOW or the root)");
  }
  // Nothing covers the screen without the keyboard: while another client holds it (a menu left
  // open, a program that grabbed and hung), no key of the user's would end the saver.
  if (platform.CoversTheScreenAlone() &&
      vellomar::IsFirstInstance(platform, vellomar::kGuardCaption) &&
      !platform.TakeInputBeforeCovering()) {
    return refuse("another program holds the keyboard, so the screen saver did not start");
  }
  vellomar::Program program(platform);
  program.Run(vellomar::Main);
  return 0;
}
