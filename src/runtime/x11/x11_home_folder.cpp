#include "runtime/x11/x11_home_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vellomar::x11 {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

}  // namespace vellomar::x11
