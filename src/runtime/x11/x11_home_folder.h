// The user's home folder, as the Linux program's files are found from it.
#pragma once

#include <string>

namespace vellomar::x11 {

// $HOME when it is an absolute path, else the password database's entry for the user; empty
// when neither names one. A relative HOME would name a different folder from every working
// directory, so it is ignored.
std::string HomeFolder();

}  // namespace vellomar::x11
