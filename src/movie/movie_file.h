// The movie's file: the install folder, a backslash, the program's own name, ".lak".
#pragma once

#include <string>

namespace vellomar {

std::string MovieFile(const std::string& installFolder, const std::string& exeName);

}  // namespace vellomar
