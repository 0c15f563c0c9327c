#include "system/log_error.h"

#include "runtime/platform_constants.h"
#include "runtime/raised_error.h"
#include "settings/registry.h"

namespace vellomar {

void LogError(Platform& platform, const std::string& description) {
  // A missing install folder still gives a name; the append then simply fails.
  const std::string path = platform.ErrorLogFile(
      RegistryReadValue(platform, win::kHKeyLocalMachine, kSettingsKey, "path"));
  const std::string line = platform.NowText() + "   " + description;
  // Logging must never disturb the user: a line that cannot be written is lost.
  platform.AppendFileA(platform.Utf8ToAnsi(path), platform.Utf8ToAnsi(line) + "\r\n");
}

void Guarded(Platform& platform, const std::function<void()>& steps) {
  try {
    steps();
  } catch (const RaisedError& error) {
    LogError(platform, error.description());
  }
}

}  // namespace vellomar
