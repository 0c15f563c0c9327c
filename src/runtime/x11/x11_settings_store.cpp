#include "runtime/x11/x11_settings_store.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "runtime/x11/x11_file_io.h"
#include "runtime/x11/x11_install_layout.h"
#include "runtime/x11/x11_locale_language.h"
#include "runtime/x11/x11_user_folders.h"
#include "runtime/platform_constants.h"

namespace vellomar::x11 {

namespace {

// A key exists when named in the file, or when a key beneath it is.
bool HasKey(const StoredKeys& keys, const std::string& folded) {
  if (keys.count(folded) > 0) return true;
  const auto below = keys.lower_bound(folded + "\\");
  return below != keys.end() && below->first.starts_with(folded + "\\");
}

const StoredValue* ValueIn(const StoredKeys& keys, const std::string& key,
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

bool SettingsStore::FindKey(const RegistryKeyPath& key) const {
  return HasKey(KeysOf(userFile_), key.folded) || HasKey(KeysOf(systemFile_), key.folded) ||
         HasKey(defaults_, key.folded);
}

std::optional<RegistryValue> SettingsStore::FindValue(const RegistryKeyPath& key,
                                                      const RegistryName& name) const {
  const StoredKeys user = KeysOf(userFile_);
  const StoredKeys system = KeysOf(systemFile_);
  const StoredValue* value = ValueIn(user, key.folded, name.folded);
  if (!value) value = ValueIn(system, key.folded, name.folded);
  if (!value) value = ValueIn(defaults_, key.folded, name.folded);
  if (!value) return std::nullopt;
  return RegistryValue{value->type, value->bytes};
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

std::int32_t SettingsStore::CreateKeyPath(const RegistryKeyPath& key) {
  return ChangeUserFile([&](KeyFile& file) { file.AddKey(key.spelled); });
}

std::int32_t SettingsStore::StoreValue(const RegistryKeyPath& key, const RegistryName& name,
                                       RegistryValue value) {
  return ChangeUserFile([&](KeyFile& file) {
    file.SetValue(key.spelled, StoredValue{name.spelled, value.type, std::move(value.bytes)});
  });
}

}  // namespace vellomar::x11
