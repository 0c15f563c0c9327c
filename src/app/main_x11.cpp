// The Linux entry point: GTK on X11, then the real platform runs the program from Main.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/x11/x11_platform.h"
#include "runtime/program.h"
#include "startup/main.h"

int main(int argc, char** argv) {
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
