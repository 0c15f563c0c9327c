// The in-memory registry: keys named without regard to case under the seven predefined roots,
// values as typed byte strings, and a table of open handles.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "runtime/platform_types.h"

namespace vellomar::sim {

struct RegValue {
  std::uint32_t type = 0;
  std::string bytes;
  friend bool operator==(const RegValue&, const RegValue&) = default;
};

class SimRegistry {
 public:
  SimRegistry();

  // ---- set-up and inspection by tests (subkeys and names as the platform's ANSI text) ----
  void SetValue(HKey root, const std::string& subKey, const std::string& name,
                std::uint32_t type, std::string bytes);
  void SetString(HKey root, const std::string& subKey, const std::string& name,
                 const std::string& text, bool withNul = true);
  void SetDword(HKey root, const std::string& subKey, const std::string& name,
                std::uint32_t value);
  std::optional<RegValue> Value(HKey root, const std::string& subKey,
                                const std::string& name) const;
  bool KeyExists(HKey root, const std::string& subKey) const;
  // Every key by an internal path name, with its values by lower-case name: for checking that
  // nothing but the expected values changed.
  using Contents = std::map<std::string, std::map<std::string, RegValue>>;
  Contents AllContents() const;
  // Keys under HKEY_LOCAL_MACHINE refuse to be created or written, as for a limited user.
  bool machineReadOnly = false;
  std::size_t OpenHandleCount() const { return handles_.size(); }

  // ---- the platform calls ----
  std::int32_t Open(HKey root, const std::string& subKey, HKey* result);
  std::int32_t Create(HKey root, const std::string& subKey, HKey* result);
  std::int32_t Query(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* dataSize) const;
  std::int32_t Set(HKey key, const std::string& name, std::uint32_t type,
                   const std::uint8_t* data, std::uint32_t dataSize);
  std::int32_t Close(HKey key);

 private:
  struct Key {
    std::map<std::string, RegValue> values;  // by lower-case name
  };
  // The canonical path of a key: root number and lower-case components; empty when root is
  // neither predefined nor open.
  std::optional<std::string> PathOf(HKey root, const std::string& subKey) const;
  bool IsMachineKey(const std::string& path) const;
  void EnsureKey(const std::string& path);

  std::map<std::string, Key> keys_;
  std::map<HKey, std::string> handles_;
  HKey nextHandle_ = 0x100;
};

}  // namespace vellomar::sim
