// The x64 setup program as a user's machine sees it, in a Wine session of its own whose UI
// language is German: a silent install puts the saver, its movie, its page and its settings in
// place, the installed saver runs, an upgrade keeps what the settings dialog stored, and the
// uninstaller leaves nothing of ours behind.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "e2e_support.h"

namespace e2e {

void PrintTo(const RegValue& value, std::ostream* out) {
  *out << "type " << value.type << " " << ::testing::PrintToString(value.bytes);
}

namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr DWORD kSetupTimeoutMs = 60000;
constexpr char kVendorKey[] = "SOFTWARE\\Starloom";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vellomar Screensaver";
constexpr wchar_t kGermanCaption[] = L"Konfigurationen vom Screensaver";

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH));
}
std::wstring SaverFile() { return SystemFolder() + L"\\vellomar.scr"; }
std::wstring DefaultFolder() {
  wchar_t folder[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"ProgramFiles", folder, MAX_PATH);
  return std::wstring(folder, n) + L"\\Vellomar Screensaver";
}
std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  return std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + name;
}
bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
RegValue Text(const std::string& text) { return {REG_SZ, text + '\0'}; }

bool KeyExists(const char* key, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

// A value of the Programs and Features entry, which the 64-bit setup keeps in the 64-bit view.
std::optional<RegValue> EntryValue(const char* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegValue value;
  char data[1024];
  DWORD size = sizeof data;
  const LONG status = RegQueryValueExA(opened, name, nullptr, &value.type,
                                       reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return std::nullopt;
  value.bytes.assign(data, size);
  return value;
}

std::optional<RegValue> Setting(const char* name) {
  return ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
}
std::optional<RegValue> Desktop(const char* name) {
  return ReadValue(HKEY_CURRENT_USER, kDesktopKey, name);
}

class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(EntryValue("DisplayName")) << "an earlier install is still there";
  }
  void TearDown() override {
    if (EntryValue("QuietUninstallString")) Uninstall();
    DeleteValue(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE");
    RemoveFolder(standinFolder_);
  }

  // Runs the setup silently, "/S" and then args, until it ends.
  static void Install(const std::wstring& args = L"") {
    Process setup(L"/S" + args, {}, SiblingPath(L"vellomar-setup-x64.exe"));
    ASSERT_TRUE(setup.WaitForExit(kSetupTimeoutMs));
    EXPECT_EQ(setup.ExitCode(), 0u);
  }

  // Runs the entry's quiet uninstall command. The uninstaller goes on in a copy of itself and
  // removes the entry last, so its work is done when the entry is gone.
  static void Uninstall() {
    const auto command = EntryValue("QuietUninstallString");
    ASSERT_TRUE(command);
    const std::string text = command->bytes.c_str();
    const size_t close = text.find('"', 1);
    ASSERT_TRUE(text.front() == '"' && close != std::string::npos) << text;
    Process uninstaller(Widen(text.substr(close + 2)), {}, Widen(text.substr(1, close - 1)));
    ASSERT_TRUE(uninstaller.WaitForExit(kSetupTimeoutMs));
    EXPECT_EQ(uninstaller.ExitCode(), 0u);
    EXPECT_TRUE(WaitUntil([] { return !EntryValue("DisplayName"); }, kSetupTimeoutMs));
  }

  // Neither file nor folder nor key of ours, in either registry view.
  static void ExpectNothingLeft(const std::wstring& folder) {
    EXPECT_FALSE(Exists(SaverFile()));
    EXPECT_FALSE(Exists(folder)) << Narrow(folder);
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      for (const char* key : {kSettingsKey, kVendorKey, kUninstallKey}) {
        EXPECT_FALSE(KeyExists(key, view)) << key << (view == KEY_WOW64_32KEY ? " (32)" : " (64)");
      }
    }
  }

  std::wstring standinFolder_ = MakeFolder(L"setup");
  Standin standin_{standinFolder_};
};

TEST_F(Setup, InstallsTheSaverInTheUiLanguageAndUninstallsWithoutATrace) {
  Install();
  const std::wstring folder = DefaultFolder();
  const auto saver = ReadBytes(SaverFile());
  ASSERT_TRUE(saver) << "no " << Narrow(SaverFile());
  EXPECT_EQ(saver, ReadBytes(SiblingPath(L"setup\\vellomar.scr"))) << "not the stripped program";
  EXPECT_EQ(ReadBytes(folder + L"\\vellomar.lak"), ReadBytes(SiblingPath(L"vellomar.lak")));
  const auto page = ReadBytes(folder + L"\\buy.htm");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->find("://"), std::string::npos) << "the page names an address";
  EXPECT_TRUE(Exists(folder + L"\\uninstall.exe"));

  // The saver's settings, exactly as it reads them, in the 32-bit view only.
  EXPECT_EQ(Setting("path"), Text(Narrow(folder)));
  EXPECT_EQ(Setting("language"), Text("1031"));
  EXPECT_FALSE(Setting("music"));
  EXPECT_FALSE(Setting("mouse"));
  EXPECT_FALSE(KeyExists(kSettingsKey, KEY_WOW64_64KEY));
  EXPECT_EQ(Desktop("SCRNSAVE.EXE"), Text(Narrow(SaverFile())));
  EXPECT_EQ(Desktop("ScreenSaveActive"), Text("1"));

  const std::string uninstaller = Narrow(folder) + "\\uninstall.exe";
  EXPECT_EQ(EntryValue("DisplayName"), Text("Vellomar Screensaver"));
  EXPECT_EQ(EntryValue("Publisher"), Text("Starloom"));
  EXPECT_EQ(EntryValue("DisplayVersion"), Text("1.0.0"));
  EXPECT_EQ(EntryValue("DisplayIcon"), Text(uninstaller + ",0"));
  EXPECT_EQ(EntryValue("UninstallString"), Text('"' + uninstaller + '"'));
  EXPECT_EQ(EntryValue("QuietUninstallString"), Text('"' + uninstaller + "\" /S"));
  const auto size = EntryValue("EstimatedSize");
  ASSERT_TRUE(size && size->type == REG_DWORD && size->bytes.size() == 4);
  EXPECT_GE(*reinterpret_cast<const DWORD*>(size->bytes.data()), saver->size() / 1024);

  {
    Process run(L"/s", standin_.Env(), SaverFile());
    HWND guard = WaitForGuard(run);
    ASSERT_NE(guard, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == guard; }, kTimeoutMs));
    TypeKey('Q');
    ASSERT_TRUE(run.WaitForExit(kTimeoutMs)) << "the key did not end the saver";
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(standin_.Logged("put Movie " + Narrow(folder) + "\\vellomar.lak"))
        << ::testing::PrintToString(standin_.LogLines());
    EXPECT_TRUE(standin_.Logged("call SetVariable language 4"));
  }
  {
    Process dialog(L"/c", standin_.Env(), SaverFile());
    HWND window = WaitForWindow(dialog.id(), kFormClass, std::wstring(kGermanCaption), kTimeoutMs);
    ASSERT_NE(window, nullptr) << "no settings dialog with the German caption";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
  }

  Uninstall();
  ExpectNothingLeft(folder);
  EXPECT_FALSE(Desktop("SCRNSAVE.EXE")) << "our screen saver is still the desktop's";
}

TEST_F(Setup, UpgradeInPlaceKeepsTheDialogsSettingsAndUninstallKeepsAnotherScreenSaver) {
  const std::wstring folder = TempFolder(L"Vellomar Trial");
  Install(L" /D=" + folder);
  ASSERT_EQ(Setting("path"), Text(Narrow(folder)));
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "music", "0");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse", "25");
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "1036");

  // Without /D= the upgrade goes to the folder of the first install, in its language.
  Install();
  EXPECT_EQ(Setting("path"), Text(Narrow(folder)));
  EXPECT_EQ(Setting("language"), Text("1036"));
  EXPECT_EQ(Setting("music"), Text("0"));
  EXPECT_EQ(Setting("mouse"), Text("25"));
  EXPECT_FALSE(Exists(DefaultFolder()));
  EXPECT_TRUE(Exists(folder + L"\\vellomar.lak"));

  // The saver has logged a failure, and the user has picked another screen saver since.
  const std::wstring log = folder + L"\\error.log";
  HANDLE file = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  const std::string other = Narrow(SystemFolder()) + "\\other.scr";
  WriteText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", other);
  Uninstall();
  ExpectNothingLeft(folder);
  EXPECT_EQ(Desktop("SCRNSAVE.EXE"), Text(other));
}

// An upgrade into another folder takes the earlier folder's files along, its uninstaller too. One
// left there all the same (it was in use) removes only its own folder's files: the saver, its
// settings and its entry belong to the install in "path", which its own uninstaller still removes.
TEST_F(Setup, UpgradeIntoAnotherFolderLeavesNoUninstallerOfTheNewInstall) {
  const std::wstring first = TempFolder(L"Vellomar First");
  const std::wstring second = TempFolder(L"Vellomar Second");
  Install(L" /D=" + first);
  Install(L" /D=" + second);
  EXPECT_FALSE(Exists(first)) << "the earlier folder is still there";
  EXPECT_EQ(Setting("path"), Text(Narrow(second)));
  EXPECT_EQ(EntryValue("InstallLocation"), Text(Narrow(second)));

  Install(L" /D=" + first);
  const std::wstring stale = first + L"\\uninstall.exe";
  HANDLE inUse = CreateFileW(stale.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
  Install(L" /D=" + second);
  CloseHandle(inUse);
  EXPECT_FALSE(Exists(first + L"\\vellomar.lak"));
  ASSERT_TRUE(Exists(stale));
  {
    Process uninstaller(L"/S", {}, stale);
    ASSERT_TRUE(uninstaller.WaitForExit(kSetupTimeoutMs));
    EXPECT_EQ(uninstaller.ExitCode(), 0u);
  }
  // It goes on in a copy of itself, whose last step removes its folder.
  EXPECT_TRUE(WaitUntil([&] { return !Exists(first); }, kSetupTimeoutMs));
  EXPECT_TRUE(ReadBytes(SaverFile()) == ReadBytes(SiblingPath(L"setup\\vellomar.scr")))
      << "the saver in the system folder is gone";
  EXPECT_EQ(Setting("path"), Text(Narrow(second)));
  EXPECT_EQ(EntryValue("InstallLocation"), Text(Narrow(second)));
  EXPECT_TRUE(Exists(second + L"\\vellomar.lak"));

  Uninstall();
  ExpectNothingLeft(second);
}

}  // namespace
}  // namespace e2e
