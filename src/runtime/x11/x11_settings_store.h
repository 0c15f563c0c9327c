// The registry of the Linux program: the same keys, values and types as on Windows, kept in a
// key file of the user's over one of the system's (where the package puts "path"), over the
// defaults of a first run. Reads see a value of the user's file before the system's, and either
// before a default; writes go to the user's file only, each replacing it whole. A line that
// cannot be read is skipped, said once on standard error, and kept where it is when the file is
// rewritten; a file that cannot be read at all reads as holding no values.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "runtime/x11/x11_key_file.h"
#include "runtime/platform_types.h"

namespace vellomar::x11 {

class SettingsStore {
 public:
  // userFile: $XDG_CONFIG_HOME/vellomar/settings.ini (else ~/.config/...);
  // systemFile: /etc/xdg/vellomar/settings.ini. Reads see the user file over the system one, and
  // both over the defaults.
  SettingsStore(std::string userFile, std::string systemFile, StoredKeys defaults = {});
  static SettingsStore FromEnvironment();

  // The same six calls, arguments, results and status codes as the Platform's registry calls.
  std::int32_t RegOpenKeyA(HKey root, const std::string& subKey, HKey* result);
  std::int32_t RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t samDesired, HKey* result);
  std::int32_t RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize);
  std::int32_t RegCreateKeyA(HKey root, const std::string& subKey, HKey* result);
  std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t reserved,
                              std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize);
  std::int32_t RegCloseKey(HKey key);

 private:
  struct OpenKey {
    std::string path;  // as the caller spelled it, from the root's name
    bool writable = false;
  };
  // The path of subKey under root, or empty when root is neither predefined nor open.
  std::optional<std::string> PathOf(HKey root, const std::string& subKey) const;
  // In either file; the predefined roots always exist.
  bool Exists(const std::string& path) const;
  std::int32_t Open(HKey root, const std::string& subKey, bool writable, HKey* result);
  HKey AddHandle(std::string path, bool writable);
  // Empty when the file is there but cannot be read.
  std::optional<KeyFile> Load(const std::string& file) const;
  StoredKeys KeysOf(const std::string& file) const;
  // Reads the user file, changes it and writes it back under its lock; a status as
  // RegSetValueExA's.
  std::int32_t ChangeUserFile(const std::function<void(KeyFile&)>& change) const;

  std::string userFile_;
  std::string systemFile_;
  StoredKeys defaults_;
  std::map<HKey, OpenKey> handles_;
  HKey nextHandle_ = 0x100;
  // Each file is read again for every value, but a line that cannot be read is said once.
  mutable std::set<std::string> warningsGiven_;
};

}  // namespace vellomar::x11
