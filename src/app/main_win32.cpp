// The Windows entry point: the real platform runs the program from Main.
#include "runtime/program.h"
#include "runtime/win32/win32_common.h"
#include "runtime/win32/win32_platform.h"
#include "startup/main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int);

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  vellomar::win32::Win32Platform platform;
  vellomar::Program program(platform);
  program.Run(vellomar::Main);
  return 0;
}
