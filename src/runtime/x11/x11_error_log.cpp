#include "runtime/x11/x11_error_log.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "runtime/x11/x11_file_io.h"
#include "runtime/x11/x11_user_folders.h"

namespace vellomar::x11 {

std::string ErrorLogFile() {
  return XdgFolder("XDG_STATE_HOME", ".local/state") + "/vellomar/error.log";
}

void PrepareErrorLog(const std::string& file, std::uintmax_t limit) {
  // Failures here only lose lines, which logging must never make visible.
  MakeFolders(std::filesystem::path(file).parent_path().string());
  struct stat status {};
  if (::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
      static_cast<std::uintmax_t>(status.st_size) > limit) {
    std::rename(file.c_str(), (file + ".1").c_str());
  }
}

}  // namespace vellomar::x11
