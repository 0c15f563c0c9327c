#include "movie/movie_file.h"

namespace vellomar {

std::string MovieFile(const std::string& installFolder, const std::string& exeName) {
  return installFolder + "\\" + exeName + ".lak";
}

}  // namespace vellomar
