// Where the 64-bit program keeps its settings: in the 32-bit view of HKEY_LOCAL_MACHINE, where the
// 32-bit program and the installers of 32-bit programs keep them, and nowhere in the 64-bit view.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr wchar_t kEnglishCaption[] = L"Screensaver Configurations";

// The settings key of the 64-bit view, where the program must neither read nor write.
HKEY OpenView64(bool create) {
  HKEY key = nullptr;
  const REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY;
  const LONG status =
      create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, access, nullptr,
                               &key, nullptr)
             : RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, access, &key);
  return status == ERROR_SUCCESS ? key : nullptr;
}

std::string View64Text(const char* name) {
  HKEY key = OpenView64(false);
  if (!key) return "<no key>";
  char data[MAX_PATH] = {};
  DWORD size = sizeof data - 1;
  const LONG status = RegQueryValueExA(key, name, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::string(data) : "<no value>";
}

void RemoveView64() {
  if (HKEY key = OpenView64(false)) {
    for (const char* name : {"path", "language", "music", "mouse"}) RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
  const LONG status = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, KEY_WOW64_64KEY, 0);
  EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "status " << status;
}

class RegistryView : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveView64();
    WriteUsualSettings(folder_);
    // Decoys in the 64-bit view: another install folder, German, other music and threshold.
    HKEY key = OpenView64(true);
    ASSERT_NE(key, nullptr);
    const std::string decoyPath = Narrow(decoy_);
    for (const auto& [name, text] : {std::pair{"path", decoyPath.c_str()},
                                     std::pair{"language", "1031"}, std::pair{"music", "decoy"},
                                     std::pair{"mouse", "77"}}) {
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>(strlen(text) + 1));
    }
    RegCloseKey(key);
  }
  void TearDown() override {
    RemoveView64();
    RemoveFolder(folder_);
    RemoveFolder(decoy_);
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"view32");
  std::wstring decoy_ = MakeFolder(L"view64");
  Standin standin_{folder_};
};

TEST_F(RegistryView, SettingsDialogReadsAndStoresThe32BitViewOnly) {
  Process dialog(L"/c", standin_.Env());
  HWND window = WaitForWindow(dialog.id(), kFormClass, std::wstring(kEnglishCaption), kTimeoutMs);
  ASSERT_NE(window, nullptr) << "not the English caption of the 32-bit view's language";
  ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
  EXPECT_TRUE(standin_.Logged("put Movie " + Narrow(folder_) + "\\vellomar.lak"))
      << ::testing::PrintToString(standin_.LogLines());
  EXPECT_TRUE(standin_.Logged("call SetVariable music 1"));
  EXPECT_TRUE(standin_.Logged("call SetVariable mouse 3"));

  standin_.Send({{"setmusic", "0"}, {"setmouse", "25"}});
  auto holds = [](const char* name, const std::string& bytes) {
    const auto value = ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
    return value && value->bytes == bytes;
  };
  EXPECT_TRUE(WaitUntil([&] { return holds("music", "0") && holds("mouse", "25"); }, kTimeoutMs));
  const std::pair<const char*, std::string> decoys[] = {
      {"path", Narrow(decoy_)}, {"language", "1031"}, {"music", "decoy"}, {"mouse", "77"}};
  for (const auto& [name, text] : decoys) {
    EXPECT_EQ(View64Text(name), text) << name << " in the 64-bit view";
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
  EXPECT_EQ(dialog.ExitCode(), 0u);
}

}  // namespace
}  // namespace e2e
