// The registry of the Linux program: the registry model over the same keys, values and types as
// on Windows, kept in a key file of the user's over one of the system's (where the package puts
// "path"), over the defaults of a first run. Reads see a value of the user's file before the
// system's, and either before a default; writes go to the user's file only, each replacing it
// whole. A line that cannot be read is skipped, said once on standard error, and kept where it is
// when the file is rewritten; a file that cannot be read at all reads as holding no values.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "runtime/registry_model.h"
#include "runtime/x11/x11_key_file.h"

namespace vellomar::x11 {

class SettingsStore final : public RegistryModel {
 public:
  // userFile: $XDG_CONFIG_HOME/vellomar/settings.ini (else ~/.config/...);
  // systemFile: /etc/xdg/vellomar/settings.ini. Reads see the user file over the system one, and
  // both over the defaults.
  SettingsStore(std::string userFile, std::string systemFile, StoredKeys defaults = {});
  static SettingsStore FromEnvironment();

 private:
  // A key is held when named in any layer, or when a key beneath it is.
  bool FindKey(const RegistryKeyPath& key) const override;
  std::optional<RegistryValue> FindValue(const RegistryKeyPath& key,
                                         const RegistryName& name) const override;
  std::int32_t CreateKeyPath(const RegistryKeyPath& key) override;
  std::int32_t StoreValue(const RegistryKeyPath& key, const RegistryName& name,
                          RegistryValue value) override;
  // Empty when the file is there but cannot be read.
  std::optional<KeyFile> Load(const std::string& file) const;
  StoredKeys KeysOf(const std::string& file) const;
  // Reads the user file, changes it and writes it back under its lock; a status as
  // RegSetValueExA's.
  std::int32_t ChangeUserFile(const std::function<void(KeyFile&)>& change) const;

  std::string userFile_;
  std::string systemFile_;
  StoredKeys defaults_;
  // Each file is read again for every value, but a line that cannot be read is said once.
  mutable std::set<std::string> warningsGiven_;
};

}  // namespace vellomar::x11
