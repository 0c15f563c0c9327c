// Values no registry store may bend: embedded and trailing NULs, every byte, a large value, the
// key file's own signs, a type it does not know; and a value name full of those signs.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform_constants.h"

namespace vellomar {

inline std::vector<std::pair<std::uint32_t, std::string>> OddRegistryValues() {
  std::string everyByte(256, '\0');
  for (int i = 0; i < 256; ++i) everyByte[i] = static_cast<char>(i);
  std::string large(64 * 1024, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
  return {
      {win::kRegSz, "7"},
      {win::kRegSz, std::string("1033\0", 5)},
      {win::kRegSz, std::string("a\0b%41\n\0", 8)},
      {win::kRegSz, ""},
      {win::kRegExpandSz, std::string("C:\\Saver\0", 9)},
      {win::kRegDword, std::string("\x01\0\0\0", 4)},
      {win::kRegBinary, everyByte},
      {win::kRegBinary, large},
      {42, " =[x]; "},
  };
}

inline const std::string kOddValueName = "n=a;m%e[]\x01 ";

}  // namespace vellomar
