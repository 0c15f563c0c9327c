// The rules of the platform's six registry calls, written once; a store derives from the model
// and says only how it keeps keys and values (in memory, in key files). Keys lie under the seven
// predefined roots, named from the root's name ("HKEY_LOCAL_MACHINE\SOFTWARE\..."); key and value
// names compare without regard to ASCII case; values are typed byte strings; an open key is a
// handle with the access it was opened with. Results and statuses are the platform's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "runtime/platform_types.h"

namespace vellomar {

// ASCII only, whatever the locale: every process and every store must fold names the same way.
std::string FoldCase(std::string text);

struct RegistryValue {
  std::uint32_t type = 0;
  std::string bytes;
  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// A value name as the caller spelled it, and folded: the name it is known by.
struct RegistryName {
  std::string spelled;
  std::string folded;
};

// A key: its root, and its path from the root's name, as spelled and folded.
struct RegistryKeyPath {
  HKey root = 0;
  std::string spelled;
  std::string folded;
  bool IsRoot() const;
};

class RegistryModel {
 public:
  virtual ~RegistryModel() = default;

  // RegOpenKeyA opens with every access the key allows, RegOpenKeyExA with the access asked for
  // (options are not looked at), RegCreateKeyA creates the key with its missing parents. A root
  // that is neither predefined nor open gives kErrorInvalidHandle; result is set on success only.
  std::int32_t RegOpenKeyA(HKey root, const std::string& subKey, HKey* result);
  std::int32_t RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t samDesired, HKey* result);
  std::int32_t RegCreateKeyA(HKey root, const std::string& subKey, HKey* result);
  // data may be null to ask for the type and size only. A buffer too small (or no size with a
  // buffer) gives kErrorMoreData and the size needed, leaving the buffer as it was.
  std::int32_t RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize) const;
  // Stores exactly dataSize bytes (none when data is null).
  std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t reserved,
                              std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize);
  std::int32_t RegCloseKey(HKey key);

  std::size_t OpenHandleCount() const { return handles_.size(); }

 protected:
  // subKey under root (a predefined root or an open key), empty components skipped; empty when
  // root is neither.
  std::optional<RegistryKeyPath> PathOf(HKey root, const std::string& subKey) const;
  // The predefined roots always exist; any other key when the store holds it.
  bool Exists(const RegistryKeyPath& key) const;

 private:
  // ---- the store ----
  // Whether the store holds the key; never asked about a root.
  virtual bool FindKey(const RegistryKeyPath& key) const = 0;
  // The value, or empty when the store holds no such key or value.
  virtual std::optional<RegistryValue> FindValue(const RegistryKeyPath& key,
                                                 const RegistryName& name) const = 0;
  // Creates the key with its missing parents: kErrorSuccess, or the store's refusal (such as
  // kErrorAccessDenied) having created nothing.
  virtual std::int32_t CreateKeyPath(const RegistryKeyPath& key) = 0;
  // Stores the value under the key, replacing the one of the same folded name: kErrorSuccess, or
  // the store's refusal having changed nothing.
  virtual std::int32_t StoreValue(const RegistryKeyPath& key, const RegistryName& name,
                                  RegistryValue value) = 0;

  struct OpenKey {
    RegistryKeyPath path;
    std::uint32_t access = 0;
  };
  std::int32_t Open(HKey root, const std::string& subKey, std::uint32_t access, HKey* result);
  HKey AddHandle(RegistryKeyPath path, std::uint32_t access);

  std::map<HKey, OpenKey> handles_;
  HKey nextHandle_ = 0x100;
};

}  // namespace vellomar
