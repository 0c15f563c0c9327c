// The end-to-end tests' registry helpers: the program's settings and the desktop flag, exactly as
// stored.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace e2e {

namespace {

// The program keeps its settings in the 32-bit view of HKEY_LOCAL_MACHINE, as installers of
// 32-bit programs write them.
REGSAM ViewOf(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0; }

}  // namespace

void WriteText(HKEY root, const char* key, const char* name, const std::string& text) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE | ViewOf(root), nullptr,
                            &opened, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(opened);
}

void DeleteValue(HKEY root, const char* key, const char* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE | ViewOf(root), &opened) != ERROR_SUCCESS) return;
  RegDeleteValueA(opened, name);
  RegCloseKey(opened);
}

void WriteUsualSettings(const std::wstring& installFolder) {
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "path", Narrow(installFolder));
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "1033");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "music", "1");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse", "3");
  DeleteValue(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword");
}

void WriteValue(HKEY root, const char* key, const char* name, const RegValue& value) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE | ViewOf(root), nullptr,
                            &opened, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(opened, name, 0, value.type,
                           reinterpret_cast<const BYTE*>(value.bytes.data()),
                           static_cast<DWORD>(value.bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(opened);
}

void DeleteKey(HKEY root, const char* key) {
  const LONG status = RegDeleteKeyExA(root, key, ViewOf(root), 0);
  EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "status " << status;
}

std::optional<RegValue> ReadValue(HKEY root, const char* key, const char* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | ViewOf(root), &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegValue value;
  DWORD size = 0;
  LONG status = RegQueryValueExA(opened, name, nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.bytes.assign(size, '\0');
    status = RegQueryValueExA(opened, name, nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
  }
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

SettingsGuard::SettingsGuard() {
  for (const char* name : {"path", "language", "music", "mouse"}) {
    saved_.push_back({HKEY_LOCAL_MACHINE, kSettingsKey, name,
                      ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name)});
  }
  saved_.push_back({HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword",
                    ReadValue(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword")});
}

SettingsGuard::~SettingsGuard() {
  for (const Saved& saved : saved_) {
    if (!saved.value) {
      DeleteValue(saved.root, saved.key, saved.name);
      continue;
    }
    WriteValue(saved.root, saved.key, saved.name, *saved.value);
  }
}

}  // namespace e2e
