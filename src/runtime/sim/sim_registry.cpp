#include "runtime/sim/sim_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "runtime/platform_constants.h"

namespace vellomar::sim {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string RootPath(HKey root) { return std::to_string(root); }

}  // namespace

SimRegistry::SimRegistry() {
  for (HKey root = win::kHKeyClassesRoot; root <= win::kHKeyDynData; ++root) {
    keys_[RootPath(root)];
  }
}

std::optional<std::string> SimRegistry::PathOf(HKey root, const std::string& subKey) const {
  std::string path;
  if (win::IsPredefinedRoot(root)) {
    path = RootPath(root);
  } else if (auto open = handles_.find(root); open != handles_.end()) {
    path = open->second;
  } else {
    return std::nullopt;
  }
  std::size_t start = 0;
  while (start <= subKey.size()) {
    std::size_t end = subKey.find('\\', start);
    if (end == std::string::npos) end = subKey.size();
    if (end > start) path += "\\" + Lower(subKey.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

bool SimRegistry::IsMachineKey(const std::string& path) const {
  const std::string machine = RootPath(win::kHKeyLocalMachine);
  return path.compare(0, machine.size(), machine) == 0;
}

void SimRegistry::SetValue(HKey root, const std::string& subKey, const std::string& name,
                           std::uint32_t type, std::string bytes) {
  const auto path = PathOf(root, subKey);
  if (!path) return;
  EnsureKey(*path);
  keys_[*path].values[Lower(name)] = RegValue{type, std::move(bytes)};
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
  const auto key = keys_.find(*path);
  if (key == keys_.end()) return std::nullopt;
  const auto value = key->second.values.find(Lower(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second;
}

bool SimRegistry::KeyExists(HKey root, const std::string& subKey) const {
  const auto path = PathOf(root, subKey);
  return path && keys_.count(*path) > 0;
}

SimRegistry::Contents SimRegistry::AllContents() const {
  Contents contents;
  for (const auto& [path, key] : keys_) contents[path] = key.values;
  return contents;
}

void SimRegistry::EnsureKey(const std::string& path) {
  // Missing parents come into being with the key.
  for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
    keys_[path.substr(0, at)];
  }
  keys_[path];
}

std::int32_t SimRegistry::Open(HKey root, const std::string& subKey, HKey* result) {
  const auto path = PathOf(root, subKey);
  if (!path) return win::kErrorInvalidHandle;
  if (keys_.count(*path) == 0) return win::kErrorFileNotFound;
  *result = nextHandle_++;
  handles_[*result] = *path;
  return win::kErrorSuccess;
}

std::int32_t SimRegistry::Create(HKey root, const std::string& subKey, HKey* result) {
  const auto path = PathOf(root, subKey);
  if (!path) return win::kErrorInvalidHandle;
  if (keys_.count(*path) == 0) {
    if (machineReadOnly && IsMachineKey(*path)) return win::kErrorAccessDenied;
    EnsureKey(*path);
  }
  *result = nextHandle_++;
  handles_[*result] = *path;
  return win::kErrorSuccess;
}

std::int32_t SimRegistry::Query(HKey key, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize) const {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return win::kErrorInvalidHandle;
  const auto& values = keys_.at(open->second).values;
  const auto value = values.find(Lower(name));
  if (value == values.end()) return win::kErrorFileNotFound;
  const auto size = static_cast<std::uint32_t>(value->second.bytes.size());
  if (type) *type = value->second.type;
  if (data) {
    if (!dataSize || *dataSize < size) {
      if (dataSize) *dataSize = size;
      return win::kErrorMoreData;
    }
    std::memcpy(data, value->second.bytes.data(), size);
  }
  if (dataSize) *dataSize = size;
  return win::kErrorSuccess;
}

std::int32_t SimRegistry::Set(HKey key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t dataSize) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return win::kErrorInvalidHandle;
  if (machineReadOnly && IsMachineKey(open->second)) return win::kErrorAccessDenied;
  keys_.at(open->second).values[Lower(name)] =
      RegValue{type, std::string(reinterpret_cast<const char*>(data), dataSize)};
  return win::kErrorSuccess;
}

std::int32_t SimRegistry::Close(HKey key) {
  return handles_.erase(key) > 0 ? win::kErrorSuccess : win::kErrorInvalidHandle;
}

}  // namespace vellomar::sim
