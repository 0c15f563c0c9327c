// The Linux entry point: GTK on X11, then the real platform runs the program from Main.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/x11/x11_home_folder.h"
#include "runtime/x11/x11_platform.h"
#include "runtime/x11/x11_xscreensaver_preferences.h"
#include "runtime/program.h"
#include "startup/main.h"

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
  vellomar::Program program(platform);
  program.Run(vellomar::Main);
  return 0;
}
