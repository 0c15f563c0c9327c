// The Linux entry point: GTK on X11, then the real platform runs the program from Main.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/x11/x11_platform.h"
#include "runtime/program.h"
#include "startup/log_error.h"
#include "startup/main.h"
#include "startup/platform_facts.h"

int main(int argc, char** argv) {
  // Foreign windows, grabs and the input guard need X; under Wayland only XWayland serves.
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "vellomar: cannot open the X display\n");
    return 1;
  }
  vellomar::x11::X11Platform platform(std::vector<std::string>(argv + 1, argv + argc));
  const auto refuse = [&platform](const std::string& why) {
    std::fprintf(stderr, "vellomar: %s\n", why.c_str());
    vellomar::LogError(platform, why);
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
