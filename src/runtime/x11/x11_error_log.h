// The Linux program's error log: $XDG_STATE_HOME/vellomar/error.log (else
// ~/.local/state/vellomar/error.log), since a package's install folder is not the user's to
// write. Plain C++ and POSIX.
#pragma once

#include <cstdint>
#include <string>

namespace vellomar::x11 {

std::string ErrorLogFile();
// Makes the log's folder (the user's alone) and, once the file has grown past limit bytes, keeps
// it as FILE.1 in place of an older one so that a new file begins: the log stays bounded.
void PrepareErrorLog(const std::string& file, std::uintmax_t limit);

}  // namespace vellomar::x11
