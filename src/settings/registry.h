// Reading and writing the program's settings in the registry. Reads never fail: anything that
// goes wrong gives the empty text. Writes never report.
#pragma once

#include <string>

#include "runtime/platform.h"

namespace vellomar {

// Where the program keeps its settings, under HKEY_LOCAL_MACHINE.
inline constexpr char kSettingsKey[] = "SOFTWARE\\Starloom\\Vellomar Screensaver";

// A REG_SZ value up to its first NUL; anything else reads as "".
std::string RegistryReadValue(Platform& platform, HKey root, const std::string& subKey,
                              const std::string& valueName);

// Creates the key when missing and stores the text as REG_SZ, ANSI, without a terminating NUL.
void RegistryWriteString(Platform& platform, HKey root, const std::string& subKey,
                         const std::string& valueName, const std::string& value);

// A value of any type as text (a REG_DWORD as a decimal number of at least three digits);
// only predefined roots are read.
std::string ReadUserValue(Platform& platform, HKey root, const std::string& subKey,
                          const std::string& valueName);

}  // namespace vellomar
