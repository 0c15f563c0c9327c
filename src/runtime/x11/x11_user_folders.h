// The user's folders, as the XDG base directories name them. Plain C++ and POSIX.
#pragma once

#include <string>

namespace vellomar::x11 {

// $HOME when it is an absolute path, else the password database's home of the user.
std::string HomeFolder();
// $variable when it is an absolute path (a relative one is invalid and ignored), else
// HomeFolder() + "/" + underHome.
std::string XdgFolder(const char* variable, const char* underHome);

}  // namespace vellomar::x11
