// The settings dialog: the movie is its whole face, and it reports the music and mouse settings
// back, which are stored at once.
#pragma once

#include <string>

#include "movie/flash_control.h"
#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class Configuration : public Form {
 public:
  explicit Configuration(Program& program);

  void Load() override;

  FlashControl Flash;

 private:
  void FlashFSCommand(const std::string& command, const std::string& args);
};

}  // namespace vellomar
