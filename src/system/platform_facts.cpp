#include "system/platform_facts.h"

#include "runtime/program_values.h"

namespace vellomar {

std::int16_t IsFirstInstance(Platform& platform, const std::string& caption) {
  return platform.FindWindowA(nullptr, platform.Utf8ToAnsi(caption)) == 0 ? kTrue : kFalse;
}

void GetPlatformId(Program& program) {
  ProgramValues& values = program.values();
  values.VersionInfo.dwOSVersionInfoSize = sizeof(OsVersionInfoA);
  // The result is not examined: a failed call leaves the record, and so the id, as it was.
  program.platform().GetVersionExA(&values.VersionInfo);
  values.PlatformId = static_cast<std::int32_t>(values.VersionInfo.dwPlatformId);
}

}  // namespace vellomar
