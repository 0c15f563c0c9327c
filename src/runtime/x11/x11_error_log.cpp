#include "runtime/x11/x11_error_log.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "runtime/x11/x11_user_folders.h"

namespace vellomar::x11 {

std::string ErrorLogFile() {
  return XdgFolder("XDG_STATE_HOME", ".local/state") + "/vellomar/error.log";
}

void PrepareErrorLog(const std::string& file, std::uintmax_t limit) {
  namespace fs = std::filesystem;
  // Failures here only lose lines, which logging must never make visible.
  std::error_code ignored;
  const fs::path folder = fs::path(file).parent_path();
  const fs::path parent = folder.parent_path();
  if (!fs::exists(parent, ignored)) {
    fs::create_directories(parent, ignored);
    // The XDG state folder is the user's alone.
    ::chmod(parent.c_str(), 0700);
  }
  ::mkdir(folder.c_str(), 0700);
  struct stat status {};
  if (::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
      static_cast<std::uintmax_t>(status.st_size) > limit) {
    std::rename(file.c_str(), (file + ".1").c_str());
  }
}

}  // namespace vellomar::x11
