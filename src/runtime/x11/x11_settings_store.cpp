#include "runtime/x11/x11_settings_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "runtime/x11/x11_file_io.h"
#include "runtime/x11/x11_install_layout.h"
#include "runtime/x11/x11_locale_language.h"
#include "runtime/x11/x11_user_folders.h"
#include "runtime/platform_constants.h"

namespace vellomar::x11 {

namespace {

constexpr const char* kRootNames[] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// Access that allows RegSetValueExA on the key opened with it.
constexpr std::uint32_t kKeySetValue = 0x0002;

// A key exists when named in the file, or when a key beneath it is.
bool HasKey(const StoredKeys& keys, const std::string& folded) {
  if (keys.count(folded) > 0) return true;
  const auto below = keys.lower_bound(folded + "\\");
  return below != keys.end() && below->first.starts_with(folded + "\\");
}

const StoredValue* FindValue(const StoredKeys& keys, const std::string& key,
                             const std::string& name) {
  const auto found = keys.find(key);
  if (found == keys.end()) return nullptr;
  const auto value = found->second.values.find(name);
  return value == found->second.values.end() ? nullptr : &value->second;
}

// What an installer would have written, for a run without settings files: the data folder found
// as "path", and the user's language.
StoredKeys FirstRunDefaults() {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver";
  StoredKey stored{key, {}};
  const auto add = [&stored](const std::string& name, const std::string& text) {
    stored.values[FoldCase(name)] = StoredValue{name, win::kRegSz, text};
  };
  add("path", DataFolder());
  add("language", LanguageIdOfLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                     std::getenv("LANG")));
  return {{FoldCase(key), stored}};
}

}  // namespace

SettingsStore::SettingsStore(std::string userFile, std::string systemFile, StoredKeys defaults)
    : userFile_(std::move(userFile)), systemFile_(std::move(systemFile)),
      defaults_(std::move(defaults)) {}

SettingsStore SettingsStore::FromEnvironment() {
  return SettingsStore(XdgFolder("XDG_CONFIG_HOME", ".config") + "/vellomar/settings.ini",
                       "/etc/xdg/vellomar/settings.ini", FirstRunDefaults());
}

std::optional<KeyFile> SettingsStore::Load(const std::string& file) const {
  const FileRead read = ReadWholeFile(file);
  if (read.state == FileRead::State::Unreadable) return std::nullopt;
  KeyFile keyFile = KeyFile::Parse(read.bytes);
  for (const std::size_t line : keyFile.UnreadableLines()) {
    const std::string warning = "vellomar: " + file + ":" + std::to_string(line) +
                                ": cannot read this line; it is skipped and kept\n";
    if (warningsGiven_.insert(warning).second) std::fputs(warning.c_str(), stderr);
  }
  return keyFile;
}

StoredKeys SettingsStore::KeysOf(const std::string& file) const {
  const auto keyFile = Load(file);
  return keyFile ? keyFile->Keys() : StoredKeys{};
}

std::optional<std::string> SettingsStore::PathOf(HKey root, const std::string& subKey) const {
  std::string path;
  if (win::IsPredefinedRoot(root)) {
    path = kRootNames[root - win::kHKeyClassesRoot];
  } else if (const auto open = handles_.find(root); open != handles_.end()) {
    path = open->second.path;
  } else {
    return std::nullopt;
  }
  for (std::size_t start = 0; start <= subKey.size();) {
    std::size_t end = subKey.find('\\', start);
    if (end == std::string::npos) end = subKey.size();
    if (end > start) path += "\\" + subKey.substr(start, end - start);
    start = end + 1;
  }
  return path;
}

bool SettingsStore::Exists(const std::string& path) const {
  const std::string folded = FoldCase(path);
  const bool root = path.find('\\') == std::string::npos;
  return root || HasKey(KeysOf(userFile_), folded) || HasKey(KeysOf(systemFile_), folded) ||
         HasKey(defaults_, folded);
}

HKey SettingsStore::AddHandle(std::string path, bool writable) {
  const HKey handle = nextHandle_++;
  handles_[handle] = OpenKey{std::move(path), writable};
  return handle;
}

std::int32_t SettingsStore::Open(HKey root, const std::string& subKey, bool writable,
                                 HKey* result) {
  const auto path = PathOf(root, subKey);
  if (!path) return win::kErrorInvalidHandle;
  if (!Exists(*path)) return win::kErrorFileNotFound;
  *result = AddHandle(*path, writable);
  return win::kErrorSuccess;
}

std::int32_t SettingsStore::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  return Open(root, subKey, true, result);
}

std::int32_t SettingsStore::RegOpenKeyExA(HKey root, const std::string& subKey,
                                          std::uint32_t /*options*/, std::uint32_t samDesired,
                                          HKey* result) {
  return Open(root, subKey, (samDesired & kKeySetValue) != 0, result);
}

std::int32_t SettingsStore::RegQueryValueExA(HKey key, const std::string& valueName,
                                             std::uint32_t* type, std::uint8_t* data,
                                             std::uint32_t* dataSize) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return win::kErrorInvalidHandle;
  const std::string folded = FoldCase(open->second.path);
  const std::string name = FoldCase(valueName);
  const StoredKeys user = KeysOf(userFile_);
  const StoredKeys system = KeysOf(systemFile_);
  const StoredValue* value = FindValue(user, folded, name);
  if (!value) value = FindValue(system, folded, name);
  if (!value) value = FindValue(defaults_, folded, name);
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

// Whatever stops the write (modes, a full disk) is the store refusing it, as a registry key
// without write access does. A file that cannot be read is never replaced by one without what it
// held, and one read only in part is first copied beside it.
std::int32_t SettingsStore::ChangeUserFile(const std::function<void(KeyFile&)>& change) const {
  // Held from the read to the rename, so that no other writer's change comes in between and is
  // lost.
  const FileLock lock(userFile_);
  if (!lock.Held()) return win::kErrorAccessDenied;
  auto file = Load(userFile_);
  if (!file) return win::kErrorAccessDenied;
  if (!file->UnreadableLines().empty() && !ReplaceFile(userFile_ + ".bak", file->Text())) {
    return win::kErrorAccessDenied;
  }
  change(*file);
  return ReplaceFile(userFile_, file->Text()) ? win::kErrorSuccess : win::kErrorAccessDenied;
}

std::int32_t SettingsStore::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  const auto path = PathOf(root, subKey);
  if (!path) return win::kErrorInvalidHandle;
  if (!Exists(*path)) {
    const std::int32_t status = ChangeUserFile([&](KeyFile& file) { file.AddKey(*path); });
    if (status != win::kErrorSuccess) return status;
  }
  *result = AddHandle(*path, true);
  return win::kErrorSuccess;
}

std::int32_t SettingsStore::RegSetValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t /*reserved*/, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t dataSize) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return win::kErrorInvalidHandle;
  if (!open->second.writable) return win::kErrorAccessDenied;
  std::string bytes;
  if (data) bytes.assign(reinterpret_cast<const char*>(data), dataSize);
  return ChangeUserFile([&](KeyFile& file) {
    file.SetValue(open->second.path, StoredValue{valueName, type, std::move(bytes)});
  });
}

std::int32_t SettingsStore::RegCloseKey(HKey key) {
  return handles_.erase(key) > 0 ? win::kErrorSuccess : win::kErrorInvalidHandle;
}

}  // namespace vellomar::x11
