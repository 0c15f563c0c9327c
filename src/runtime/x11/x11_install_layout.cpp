#include "runtime/x11/x11_install_layout.h"

#include <filesystem>

namespace vellomar::x11 {

std::string DataFolder() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path folder = program.parent_path();
  for (const fs::path& candidate :
       {folder, folder / "../share/vellomar", folder / "../../share/vellomar"}) {
    if (fs::is_regular_file(candidate / "player/page.html", error)) {
      return candidate.lexically_normal().string();
    }
  }
  return VELLOMAR_DATA_DIR;
}

}  // namespace vellomar::x11
