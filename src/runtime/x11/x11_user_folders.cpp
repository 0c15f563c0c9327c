#include "runtime/x11/x11_user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vellomar::x11 {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry ? entry->pw_dir : "";
}

std::string XdgFolder(const char* variable, const char* underHome) {
  if (const char* folder = std::getenv(variable); folder && folder[0] == '/') return folder;
  return HomeFolder() + "/" + underHome;
}

}  // namespace vellomar::x11
