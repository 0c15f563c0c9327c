#include "runtime/registry_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/platform_constants.h"

namespace vellomar {

namespace {

constexpr const char* kRootNames[] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// What RegOpenKeyA and RegCreateKeyA ask for: all the model distinguishes.
constexpr std::uint32_t kEveryAccess = win::kKeyQueryValue | win::kKeySetValue;

RegistryName NameOf(const std::string& spelled) { return {spelled, FoldCase(spelled)}; }

}  // namespace

std::string FoldCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

bool RegistryKeyPath::IsRoot() const { return spelled.find('\\') == std::string::npos; }

std::optional<RegistryKeyPath> RegistryModel::PathOf(HKey root, const std::string& subKey) const {
  RegistryKeyPath path;
  if (win::IsPredefinedRoot(root)) {
    path.root = root;
    path.spelled = kRootNames[root - win::kHKeyClassesRoot];
  } else if (const auto open = handles_.find(root); open != handles_.end()) {
    path = open->second.path;
  } else {
    return std::nullopt;
  }
  for (std::size_t start = 0; start <= subKey.size();) {
    std::size_t end = subKey.find('\\', start);
    if (end == std::string::npos) end = subKey.size();
    if (end > start) path.spelled += "\\" + subKey.substr(start, end - start);
    start = end + 1;
  }
  path.folded = FoldCase(path.spelled);
  return path;
}

bool RegistryModel::Exists(const RegistryKeyPath& key) const {
  return key.IsRoot() || FindKey(key);
}

HKey RegistryModel::AddHandle(RegistryKeyPath path, std::uint32_t access) {
  const HKey handle = nextHandle_++;
  handles_[handle] = OpenKey{std::move(path), access};
  return handle;
}

std::int32_t RegistryModel::Open(HKey root, const std::string& subKey, std::uint32_t access,
                                 HKey* result) {
  auto path = PathOf(root, subKey);
  if (!path) return win::kErrorInvalidHandle;
  if (!Exists(*path)) return win::kErrorFileNotFound;
  *result = AddHandle(std::move(*path), access);
  return win::kErrorSuccess;
}

std::int32_t RegistryModel::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  return Open(root, subKey, kEveryAccess, result);
}

std::int32_t RegistryModel::RegOpenKeyExA(HKey root, const std::string& subKey,
                                          std::uint32_t /*options*/, std::uint32_t samDesired,
                                          HKey* result) {
  return Open(root, subKey, samDesired, result);
}

std::int32_t RegistryModel::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  auto path = PathOf(root, subKey);
  if (!path) return win::kErrorInvalidHandle;
  if (!Exists(*path)) {
    const std::int32_t status = CreateKeyPath(*path);
    if (status != win::kErrorSuccess) return status;
  }
  *result = AddHandle(std::move(*path), kEveryAccess);
  return win::kErrorSuccess;
}

std::int32_t RegistryModel::RegQueryValueExA(HKey key, const std::string& valueName,
                                             std::uint32_t* type, std::uint8_t* data,
                                             std::uint32_t* dataSize) const {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return win::kErrorInvalidHandle;
  if ((open->second.access & win::kKeyQueryValue) == 0) return win::kErrorAccessDenied;
  const auto value = FindValue(open->second.path, NameOf(valueName));
  if (!value) return win::kErrorFileNotFound;
  const auto size = static_cast<std::uint32_t>(value->bytes.size());
  if (type) *type = value->type;
  if (data) {
    if (!dataSize || *dataSize < size) {
      if (dataSize) *dataSize = size;
      return win::kErrorMoreData;
    }
    std::memcpy(data, value->bytes.data(), size);
  }
  if (dataSize) *dataSize = size;
  return win::kErrorSuccess;
}

std::int32_t RegistryModel::RegSetValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t /*reserved*/, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t dataSize) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return win::kErrorInvalidHandle;
  if ((open->second.access & win::kKeySetValue) == 0) return win::kErrorAccessDenied;
  RegistryValue value{type, {}};
  if (data) value.bytes.assign(reinterpret_cast<const char*>(data), dataSize);
  return StoreValue(open->second.path, NameOf(valueName), std::move(value));
}

std::int32_t RegistryModel::RegCloseKey(HKey key) {
  return handles_.erase(key) > 0 ? win::kErrorSuccess : win::kErrorInvalidHandle;
}

}  // namespace vellomar
