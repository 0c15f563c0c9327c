// The text form of registry keys on Linux: "[key path]" lines, each followed by its values as
// "name=type:data" lines. Names and data keep their exact bytes: a byte outside printable ASCII,
// or one of % = [ ] ; #, is written as %HH.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace vellomar::x11 {

struct StoredValue {
  std::string name;  // as first written
  std::uint32_t type = 0;
  std::string bytes;
};

struct StoredKey {
  std::string path;                           // "HKEY_LOCAL_MACHINE\SOFTWARE\...", as first written
  std::map<std::string, StoredValue> values;  // by folded name
};

using StoredKeys = std::map<std::string, StoredKey>;  // by folded path

// Key and value names compare without regard to ASCII case, as the registry's do.
std::string FoldCase(std::string text);

std::string FormatKeyFile(const StoredKeys& keys);
// Empty when the text is damaged anywhere: a damaged file is taken as a whole for no values,
// rather than guessed at line by line.
std::optional<StoredKeys> ParseKeyFile(const std::string& text);

}  // namespace vellomar::x11
