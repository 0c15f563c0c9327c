#include "runtime/x11/x11_settings_store.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "registry_values.h"
#include "runtime/platform_constants.h"
#include "settings/registry.h"

namespace vellomar::x11 {
namespace {

using win::kHKeyCurrentUser;
using win::kHKeyLocalMachine;
namespace fs = std::filesystem;

struct Read {
  std::int32_t status = -1;
  std::uint32_t type = 0;
  std::string bytes;
};

const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// Creates the key and sets the value as the program does; the status of the set.
std::int32_t Write(SettingsStore& store, HKey root, const std::string& subKey,
                   const std::string& name, std::uint32_t type, const std::string& bytes) {
  HKey key = 0;
  store.RegCreateKeyA(root, subKey, &key);
  const std::int32_t status = store.RegSetValueExA(key, name, 0, type, Bytes(bytes),
                                                   static_cast<std::uint32_t>(bytes.size()));
  store.RegCloseKey(key);
  return status;
}

// Asks for the size first, then reads into a buffer of exactly that size.
Read ReadValue(SettingsStore& store, HKey root, const std::string& subKey,
               const std::string& name) {
  Read read;
  HKey key = 0;
  read.status = store.RegOpenKeyA(root, subKey, &key);
  if (read.status != win::kErrorSuccess) return read;
  std::uint32_t size = 0;
  read.status = store.RegQueryValueExA(key, name, &read.type, nullptr, &size);
  if (read.status == win::kErrorSuccess) {
    read.bytes.assign(size, '?');
    read.status = store.RegQueryValueExA(key, name, &read.type,
                                         reinterpret_cast<std::uint8_t*>(read.bytes.data()), &size);
    read.bytes.resize(size);
  }
  EXPECT_EQ(store.RegCloseKey(key), win::kErrorSuccess);
  return read;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs body in a child process and gives its exit status.
int InChildProcess(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "settings-store-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    fs::permissions(root, fs::perms(0755));
    userFolder = root + "/config/vellomar";
    userFile = userFolder + "/settings.ini";
    systemFile = root + "/settings.ini";
  }
  void TearDown() override {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.is_directory()) fs::permissions(entry.path(), fs::perms(0755));
    }
    fs::remove_all(root);
  }
  SettingsStore Store() { return SettingsStore(userFile, systemFile); }
  // Runs body in a child process as the unprivileged user "nobody" when the tests run as root
  // (whom no file mode stops), on a store of the same files named from the test's folder, so
  // that no folder above it has to let that user through.
  int AsUnprivileged(const std::function<int(SettingsStore&)>& body) {
    return InChildProcess([&] {
      constexpr uid_t kNobody = 65534;
      if (::chdir(root.c_str()) != 0) return 125;
      if (::geteuid() == 0 &&
          (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
           ::setresuid(kNobody, kNobody, kNobody) != 0)) {
        return 126;
      }
      SettingsStore store("config/vellomar/settings.ini", "settings.ini");
      return body(store);
    });
  }
  std::set<std::string> UserFolderEntries() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(userFolder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // Lets the unprivileged child reach the user file and its lock, so that only what a test takes
  // away stops it.
  void OpenUserFolderToAll() {
    fs::permissions(root + "/config", fs::perms(0755));
    fs::permissions(userFolder, fs::perms(0777));
    fs::permissions(userFile, fs::perms(0644));
    fs::permissions(userFile + ".lock", fs::perms(0666));
  }

  std::string root, userFolder, userFile, systemFile;
  const std::set<std::string> theFileAndItsLock{"settings.ini", "settings.ini.lock"};
};

TEST_F(SettingsStoreTest, KeepsTheExactBytesAndTypeOfEveryValue) {
  const auto values = OddRegistryValues();
  SettingsStore writer = Store();
  for (std::size_t i = 0; i < std::size(values); ++i) {
    ASSERT_EQ(Write(writer, kHKeyLocalMachine, kSettingsKey, kOddValueName + std::to_string(i),
                    values[i].first, values[i].second),
              win::kErrorSuccess);
  }
  // A second store sees only what reached the file, which was made with its folders.
  SettingsStore reader = Store();
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const Read read =
        ReadValue(reader, kHKeyLocalMachine, kSettingsKey, kOddValueName + std::to_string(i));
    EXPECT_EQ(read.status, win::kErrorSuccess) << i;
    EXPECT_EQ(read.type, values[i].first) << i;
    EXPECT_EQ(read.bytes, values[i].second) << i;
  }
  EXPECT_EQ(UserFolderEntries(), theFileAndItsLock);
}

TEST_F(SettingsStoreTest, ReadsTheUserFileOverTheSystemFileOverTheDefaultsAndWritesOnlyTheUserFile) {
  // As an installer writes it: strings without their NUL, or with it escaped.
  const std::string installed =
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]\n"
      "path=sz:/opt/vellomar\n"
      "language=sz:1033%00\n"
      "music=sz:1\n";
  PutFile(systemFile, installed);
  SettingsStore store = Store();
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "path").bytes, "/opt/vellomar");
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "language").bytes,
            std::string("1033\0", 5));
  ASSERT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "0"), 0);
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "music").bytes, "0");
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "path").bytes, "/opt/vellomar");
  EXPECT_EQ(FileBytes(systemFile), installed);

  SettingsStore userOnly(userFile, root + "/absent.ini");
  EXPECT_EQ(ReadValue(userOnly, kHKeyLocalMachine, kSettingsKey, "music").bytes, "0");
  EXPECT_EQ(ReadValue(userOnly, kHKeyLocalMachine, kSettingsKey, "path").status,
            win::kErrorFileNotFound);

  // A first run's defaults lie under both files, and a write never copies them.
  const std::string key = "HKEY_LOCAL_MACHINE\\" + std::string(kSettingsKey);
  StoredKey defaultKey{key, {}};
  defaultKey.values["path"] = StoredValue{"path", win::kRegSz, "/usr/share/vellomar"};
  defaultKey.values["language"] = StoredValue{"language", win::kRegSz, "1031"};
  SettingsStore withDefaults(userFile, systemFile, {{FoldCase(key), defaultKey}});
  EXPECT_EQ(ReadValue(withDefaults, kHKeyLocalMachine, kSettingsKey, "path").bytes,
            "/opt/vellomar");
  fs::remove(systemFile);
  EXPECT_EQ(ReadValue(withDefaults, kHKeyLocalMachine, kSettingsKey, "path").bytes,
            "/usr/share/vellomar");
  fs::remove(userFile);
  EXPECT_EQ(ReadValue(withDefaults, kHKeyLocalMachine, kSettingsKey, "language").bytes, "1031");
  ASSERT_EQ(Write(withDefaults, kHKeyLocalMachine, kSettingsKey, "mouse", win::kRegSz, "5"), 0);
  const KeyFile written = KeyFile::Parse(FileBytes(userFile));
  EXPECT_EQ(written.Keys().at(FoldCase(key)).values.size(), 1u);
}

TEST_F(SettingsStoreTest, NamesInTheFilesIgnoreCaseAndKeepTheirFirstSpelling) {
  PutFile(systemFile,
          "[hkey_local_machine\\software\\starloom\\VELLOMAR SCREENSAVER]\nPATH=sz:/x\n");
  SettingsStore store = Store();
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "path").bytes, "/x");

  ASSERT_EQ(Write(store, kHKeyCurrentUser, "control panel\\DESKTOP", "screensaveusepassword",
                  win::kRegSz, "0"),
            0);
  ASSERT_EQ(Write(store, kHKeyCurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword",
                  win::kRegDword, std::string("\x01\0\0\0", 4)),
            0);
  const std::string written = FileBytes(userFile);
  EXPECT_EQ(written.find("Control Panel\\Desktop"), std::string::npos)
      << "one key, named as first written";
  EXPECT_NE(written.find("\nscreensaveusepassword=dword:%01%00%00%00"), std::string::npos)
      << "one value, named as first written";
}

TEST_F(SettingsStoreTest, AnUnwritableStoreKeepsTheOldFileByteForByte) {
  SettingsStore store = Store();
  ASSERT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "1"), 0);
  OpenUserFolderToAll();
  const std::string old = FileBytes(userFile);

  fs::permissions(userFolder, fs::perms(0555));
  EXPECT_EQ(
      AsUnprivileged([](SettingsStore& store) {
        return Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "2");
      }),
      win::kErrorAccessDenied);
  HKey key = 0;
  EXPECT_EQ(
      AsUnprivileged([&](SettingsStore& store) {
        return store.RegCreateKeyA(kHKeyCurrentUser, "New", &key);
      }),
      win::kErrorAccessDenied);
  EXPECT_EQ(FileBytes(userFile), old);

  fs::permissions(userFolder, fs::perms(0777));
  fs::permissions(userFile, fs::perms(0444));
  EXPECT_EQ(
      AsUnprivileged([](SettingsStore& store) {
        return Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "3");
      }),
      win::kErrorAccessDenied);
  EXPECT_EQ(FileBytes(userFile), old);
  EXPECT_EQ(UserFolderEntries(), theFileAndItsLock);

  // A user file that cannot be read is never replaced by one without what it held.
  HKey opened = 0;
  ASSERT_EQ(store.RegOpenKeyA(kHKeyLocalMachine, kSettingsKey, &opened), win::kErrorSuccess);
  fs::remove(userFile);
  fs::create_directory(userFile);
  EXPECT_EQ(store.RegSetValueExA(opened, "music", 0, win::kRegSz, Bytes("4"), 1),
            win::kErrorAccessDenied);
  EXPECT_EQ(store.RegCreateKeyA(kHKeyCurrentUser, "New", &key), win::kErrorAccessDenied);
  EXPECT_TRUE(fs::is_directory(userFile));
}

TEST_F(SettingsStoreTest, AHandEditedFileIsReadWholeAndASaveChangesOnlyTheLinesItWrites) {
  const std::string handEdited =
      "; my saver\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]\r\n"
      "path=sz:/opt/vellomar\r\n"
      "# German, for the children\r\n"
      "language=sz:1031\r\n"
      "music=sz:1\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
      "ScreenSaveActive=sz:1";
  fs::create_directories(userFolder);
  PutFile(userFile, handEdited);
  testing::internal::CaptureStderr();
  SettingsStore store = Store();
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "path").bytes, "/opt/vellomar");
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "language").bytes, "1031");
  EXPECT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "0"), 0);
  EXPECT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "mouse", win::kRegSz, "5"), 0);
  EXPECT_EQ(Write(store, kHKeyCurrentUser, "Control Panel\\Desktop", "ScreenSaveTimeOut",
                  win::kRegSz, "600"),
            0);
  EXPECT_EQ(Write(store, kHKeyCurrentUser, "Software\\New", "x", win::kRegSz, "1"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(FileBytes(userFile),
            "; my saver\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]\r\n"
            "path=sz:/opt/vellomar\r\n"
            "# German, for the children\r\n"
            "language=sz:1031\r\n"
            "music=sz:0\r\n"
            "mouse=sz:5\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
            "ScreenSaveActive=sz:1\r\n"
            "ScreenSaveTimeOut=sz:600\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\New]\r\n"
            "x=sz:1\r\n");
  EXPECT_FALSE(fs::exists(userFile + ".bak")) << "the file was read whole";
}

TEST_F(SettingsStoreTest, ADamagedLineIsSkippedWithAWarningAndKeptInPlaceWhenTheFileIsSaved) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]\n";
  std::string garbage(256, '\0');
  for (int i = 0; i < 256; ++i) garbage[i] = static_cast<char>(255 - i);
  struct Damaged {
    std::string text;
    const char* language;  // as read, or null for none
    std::string damagedLines;  // one digit for each line that cannot be read
    std::string saved;  // after setting "language" to 1036
  };
  const Damaged damaged[] = {
      {"language=sz:1033\n" + key, nullptr, "1", "language=sz:1033\n" + key + "language=sz:1036\n"},
      {key + "language=sz:1033\nmusic=sz:%G1\n", "1033", "3",
       key + "language=sz:1036\nmusic=sz:%G1\n"},
      {key + "language=sz:1033\nmusic=sz:1%2", "1033", "3", key + "language=sz:1036\nmusic=sz:1%2"},
      {key + "language=sz:1033\nmusic\n", "1033", "3", key + "language=sz:1036\nmusic\n"},
      {key + "language=sz:1033\nmusic=text:1\n", "1033", "3",
       key + "language=sz:1036\nmusic=text:1\n"},
      {key + "language=sz:1033\nmusic=sz:a\rb\n", "1033", "3",
       key + "language=sz:1036\nmusic=sz:a\rb\n"},
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\n" + key + "language=sz:1033\n", "1033", "1",
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\n" + key + "language=sz:1036\n"},
      {garbage, nullptr, "12", garbage + "\n\n" + key + "language=sz:1036\n"},
  };
  PutFile(systemFile, key + "music=sz:9\n");
  fs::create_directories(userFolder);
  for (const Damaged& file : damaged) {
    PutFile(userFile, file.text);
    std::string warnings;
    for (const char line : file.damagedLines) {
      warnings += "vellomar: " + userFile + ":" + line +
                  ": cannot read this line; it is skipped and kept\n";
    }
    testing::internal::CaptureStderr();
    SettingsStore store = Store();
    const Read language = ReadValue(store, kHKeyLocalMachine, kSettingsKey, "language");
    EXPECT_EQ(language.bytes, file.language ? file.language : "") << file.text;
    EXPECT_EQ(language.status, file.language ? win::kErrorSuccess : win::kErrorFileNotFound);
    EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "music").bytes, "9");
    EXPECT_EQ(FileBytes(userFile), file.text) << "reading changes nothing";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warnings) << "each said once";

    EXPECT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "language", win::kRegSz, "1036"), 0);
    EXPECT_EQ(FileBytes(userFile), file.saved);
    EXPECT_EQ(FileBytes(userFile + ".bak"), file.text) << "a copy of what was not read whole";
  }
}

TEST_F(SettingsStoreTest, ASaveKeepsTheFilesModeAndOwnerAndWritesThroughALinkToItsTarget) {
  SettingsStore store = Store();
  ASSERT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "1"), 0);
  // Root's files would be root's anyway: its saves must keep another owner's.
  const bool asRoot = ::geteuid() == 0;
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chmod(userFile.c_str(), 0640), 0);
  if (asRoot) {
    ASSERT_EQ(::chown(userFile.c_str(), kNobody, kNobody), 0);
  }
  const auto expectModeAndOwnerKept = [&](const std::string& file) {
    struct stat saved {};
    ASSERT_EQ(::stat(file.c_str(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 07777, 0640u) << file;
    if (asRoot) {
      EXPECT_EQ(saved.st_uid, kNobody) << file;
      EXPECT_EQ(saved.st_gid, kNobody) << file;
    }
  };
  ASSERT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "2"), 0);
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "music").bytes, "2");
  expectModeAndOwnerKept(userFile);

  const std::string targetFolder = root + "/dotfiles";
  const std::string target = targetFolder + "/vellomar.ini";
  fs::create_directory(targetFolder);
  fs::rename(userFile, target);
  fs::create_symlink("../../dotfiles/vellomar.ini", userFile);
  ASSERT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "3"), 0);
  EXPECT_TRUE(fs::is_symlink(userFile));
  EXPECT_EQ(ReadValue(store, kHKeyLocalMachine, kSettingsKey, "music").bytes, "3");
  EXPECT_NE(FileBytes(target).find("\nmusic=sz:3\n"), std::string::npos);
  expectModeAndOwnerKept(target);
  EXPECT_EQ(std::distance(fs::directory_iterator(targetFolder), {}), 1) << "no temporary file";
}

TEST_F(SettingsStoreTest, TwoProcessesSavingAtOnceLoseNoValue) {
  constexpr int kRounds = 8;
  constexpr int kSaves = 30;
  const std::string names[] = {"first", "second"};
  for (int round = 0; round < kRounds; ++round) {
    fs::remove(userFile);
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> writers;
    for (const std::string& name : names) {
      const pid_t writer = ::fork();
      if (writer == 0) {
        // Both start when the test closes the pipe, so that their saves overlap.
        ::close(start[1]);
        char none = 0;
        const bool started = ::read(start[0], &none, 1) == 0;
        SettingsStore store = Store();
        bool saved = true;
        for (int save = 0; save < kSaves; ++save) {
          saved = Write(store, kHKeyLocalMachine, kSettingsKey, name, win::kRegSz,
                        std::to_string(save)) == win::kErrorSuccess &&
                  saved;
        }
        ::_exit(started && saved ? 0 : 1);
      }
      if (writer > 0) writers.push_back(writer);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t writer : writers) {
      int status = -1;
      EXPECT_EQ(::waitpid(writer, &status, 0), writer);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "every save succeeds";
    }
    ASSERT_EQ(writers.size(), std::size(names));
    EXPECT_EQ(fs::status(userFile + ".lock").permissions(), fs::perms(0600));
    SettingsStore reader = Store();
    for (const std::string& name : names) {
      EXPECT_EQ(ReadValue(reader, kHKeyLocalMachine, kSettingsKey, name).bytes,
                std::to_string(kSaves - 1))
          << name << " in round " << round;
    }
  }
}

TEST_F(SettingsStoreTest, AWriteThatFailsHalfwayLeavesTheOldFileAndNoTemporaryFile) {
  SettingsStore store = Store();
  ASSERT_EQ(Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "1"), 0);
  const std::string old = FileBytes(userFile);
  // Files may grow to 4 KiB only: the 64 KiB value fails while being written.
  const auto writeLarge = [&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return Write(store, kHKeyLocalMachine, kSettingsKey, "music", win::kRegBinary,
                 std::string(64 * 1024, 'x'));
  };
  EXPECT_EQ(InChildProcess(writeLarge), win::kErrorAccessDenied);
  EXPECT_EQ(FileBytes(userFile), old);
  EXPECT_EQ(UserFolderEntries(), theFileAndItsLock);
}

}  // namespace
}  // namespace vellomar::x11
