#include "runtime/sim/sim_registry.h"

#include <utility>

#include "runtime/platform_constants.h"

namespace vellomar::sim {

void SimRegistry::SetValue(HKey root, const std::string& subKey, const std::string& name,
                           std::uint32_t type, std::string bytes) {
  const auto path = PathOf(root, subKey);
  if (!path) return;
  EnsureKey(path->folded)[FoldCase(name)] = RegValue{type, std::move(bytes)};
}

void SimRegistry::SetString(HKey root, const std::string& subKey, const std::string& name,
                            const std::string& text, bool withNul) {
  SetValue(root, subKey, name, win::kRegSz, withNul ? text + '\0' : text);
}

void SimRegistry::SetDword(HKey root, const std::string& subKey, const std::string& name,
                           std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  SetValue(root, subKey, name, win::kRegDword, bytes);
}

std::optional<RegValue> SimRegistry::Value(HKey root, const std::string& subKey,
                                           const std::string& name) const {
  const auto path = PathOf(root, subKey);
  if (!path) return std::nullopt;
  return FindValue(*path, RegistryName{name, FoldCase(name)});
}

bool SimRegistry::KeyExists(HKey root, const std::string& subKey) const {
  const auto path = PathOf(root, subKey);
  return path && Exists(*path);
}

std::map<std::string, RegValue>& SimRegistry::EnsureKey(const std::string& folded) {
  for (std::size_t at = folded.find('\\'); at != std::string::npos;
       at = folded.find('\\', at + 1)) {
    keys_[folded.substr(0, at)];
  }
  return keys_[folded];
}

bool SimRegistry::Refuses(const RegistryKeyPath& key) const {
  return machineReadOnly && key.root == win::kHKeyLocalMachine;
}

bool SimRegistry::FindKey(const RegistryKeyPath& key) const {
  return keys_.count(key.folded) > 0;
}

std::optional<RegistryValue> SimRegistry::FindValue(const RegistryKeyPath& key,
                                                     const RegistryName& name) const {
  const auto found = keys_.find(key.folded);
  if (found == keys_.end()) return std::nullopt;
  const auto value = found->second.find(name.folded);
  if (value == found->second.end()) return std::nullopt;
  return value->second;
}

std::int32_t SimRegistry::CreateKeyPath(const RegistryKeyPath& key) {
  if (Refuses(key)) return win::kErrorAccessDenied;
  EnsureKey(key.folded);
  return win::kErrorSuccess;
}

std::int32_t SimRegistry::StoreValue(const RegistryKeyPath& key, const RegistryName& name,
                                     RegistryValue value) {
  if (Refuses(key)) return win::kErrorAccessDenied;
  EnsureKey(key.folded)[name.folded] = std::move(value);
  return win::kErrorSuccess;
}

}  // namespace vellomar::sim
