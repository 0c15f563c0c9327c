// The in-memory registry: the registry model over keys and values kept in maps, with set-up and
// inspection for tests and one fault, a machine hive that refuses writes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "runtime/platform_types.h"
#include "runtime/registry_model.h"

namespace vellomar::sim {

using RegValue = RegistryValue;

class SimRegistry final : public RegistryModel {
 public:
  // ---- set-up and inspection by tests (subkeys and names as the platform's ANSI text) ----
  // These reach the keys directly: machineReadOnly does not stop them.
  void SetValue(HKey root, const std::string& subKey, const std::string& name,
                std::uint32_t type, std::string bytes);
  void SetString(HKey root, const std::string& subKey, const std::string& name,
                 const std::string& text, bool withNul = true);
  void SetDword(HKey root, const std::string& subKey, const std::string& name,
                std::uint32_t value);
  std::optional<RegValue> Value(HKey root, const std::string& subKey,
                                const std::string& name) const;
  bool KeyExists(HKey root, const std::string& subKey) const;
  // Every key by its folded path, with its values by folded name: for checking that nothing but
  // the expected values changed.
  using Contents = std::map<std::string, std::map<std::string, RegValue>>;
  const Contents& AllContents() const { return keys_; }
  // Keys under HKEY_LOCAL_MACHINE refuse to be created or written, as for a limited user.
  bool machineReadOnly = false;

 private:
  bool FindKey(const RegistryKeyPath& key) const override;
  std::optional<RegistryValue> FindValue(const RegistryKeyPath& key,
                                         const RegistryName& name) const override;
  std::int32_t CreateKeyPath(const RegistryKeyPath& key) override;
  std::int32_t StoreValue(const RegistryKeyPath& key, const RegistryName& name,
                          RegistryValue value) override;
  bool Refuses(const RegistryKeyPath& key) const;
  // The key by its folded path, with its missing parents.
  std::map<std::string, RegValue>& EnsureKey(const std::string& folded);

  Contents keys_;
};

}  // namespace vellomar::sim
