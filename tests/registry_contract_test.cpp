// What every registry store must do with the six registry calls, run against the in-memory
// registry and against the Linux key-file store in a folder of its own: statuses, sizes, types
// and bytes, case, parents, access rights, handles and roots. What one store alone does (layers,
// files, faults) is tested beside it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <utility>

#include "runtime/platform_constants.h"
#include "runtime/registry_model.h"
#include "runtime/sim/sim_registry.h"
#include "runtime/x11/x11_settings_store.h"
#include "registry_values.h"
#include "settings/registry.h"

namespace vellomar {
namespace {

using win::kErrorAccessDenied;
using win::kErrorFileNotFound;
using win::kErrorInvalidHandle;
using win::kErrorMoreData;
using win::kErrorSuccess;
using win::kHKeyCurrentUser;
using win::kHKeyLocalMachine;
namespace fs = std::filesystem;

constexpr HKey kRoots[] = {win::kHKeyClassesRoot,     kHKeyCurrentUser,
                           kHKeyLocalMachine,         win::kHKeyUsers,
                           win::kHKeyPerformanceData, win::kHKeyCurrentConfig,
                           win::kHKeyDynData};
// No handle that these tests are given: a result left as it was shows that a call gave nothing.
constexpr HKey kUntouched = 0x5EED;

class InMemory {
 public:
  static constexpr const char* kName = "InMemory";
  RegistryModel& Store() { return registry_; }
  // From now on every write under HKEY_LOCAL_MACHINE is refused (a store may refuse more).
  void RefuseWrites() { registry_.machineReadOnly = true; }

 private:
  sim::SimRegistry registry_;
};

class KeyFiles {
 public:
  static constexpr const char* kName = "KeyFiles";
  ~KeyFiles() { fs::remove_all(folder_); }
  RegistryModel& Store() { return store_; }
  // The lock that every write takes cannot be had when its file is a folder, whoever runs.
  void RefuseWrites() {
    const std::string lock = folder_ + "/user/settings.ini.lock";
    fs::remove(lock);
    fs::create_directories(lock);
  }

 private:
  static std::string NewFolder() {
    std::string pattern = ::testing::TempDir() + "registry-contract-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
    return pattern;
  }
  std::string folder_ = NewFolder();
  x11::SettingsStore store_{folder_ + "/user/settings.ini", folder_ + "/system.ini"};
};

struct Read {
  std::int32_t status = -1;
  std::uint32_t type = 0;
  std::string bytes;
};

std::uint8_t* Bytes(std::string& text) { return reinterpret_cast<std::uint8_t*>(text.data()); }
const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

template <typename Environment>
class RegistryContractTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(store.OpenHandleCount(), 0u); }

  HKey Create(HKey root, const std::string& subKey) {
    HKey key = kUntouched;
    EXPECT_EQ(store.RegCreateKeyA(root, subKey, &key), kErrorSuccess) << subKey;
    return key;
  }
  HKey Open(HKey root, const std::string& subKey, std::uint32_t access) {
    HKey key = kUntouched;
    EXPECT_EQ(store.RegOpenKeyExA(root, subKey, 0, access, &key), kErrorSuccess) << subKey;
    return key;
  }
  std::int32_t Set(HKey key, const std::string& name, std::uint32_t type,
                   const std::string& bytes) {
    return store.RegSetValueExA(key, name, 0, type, Bytes(bytes),
                                static_cast<std::uint32_t>(bytes.size()));
  }
  void Write(HKey root, const std::string& subKey, const std::string& name, std::uint32_t type,
             const std::string& bytes) {
    const HKey key = Create(root, subKey);
    EXPECT_EQ(Set(key, name, type, bytes), kErrorSuccess) << name;
    EXPECT_EQ(store.RegCloseKey(key), kErrorSuccess);
  }
  // Asks for the size first, then reads into a buffer of exactly that size.
  Read Query(HKey key, const std::string& name) {
    Read read;
    std::uint32_t size = 0;
    read.status = store.RegQueryValueExA(key, name, &read.type, nullptr, &size);
    if (read.status != kErrorSuccess) return read;
    read.bytes.assign(size, '?');
    read.status = store.RegQueryValueExA(key, name, &read.type, Bytes(read.bytes), &size);
    EXPECT_EQ(size, read.bytes.size()) << name;
    return read;
  }
  // Through a key of its own, opened for reading.
  Read ReadValue(HKey root, const std::string& subKey, const std::string& name) {
    HKey key = kUntouched;
    const std::int32_t opened = store.RegOpenKeyExA(root, subKey, 0, win::kKeyRead, &key);
    if (opened != kErrorSuccess) return Read{opened, 0, {}};
    const Read read = Query(key, name);
    EXPECT_EQ(store.RegCloseKey(key), kErrorSuccess);
    return read;
  }
  std::int32_t OpenStatus(HKey root, const std::string& subKey) {
    HKey key = kUntouched;
    const std::int32_t status = store.RegOpenKeyA(root, subKey, &key);
    if (status == kErrorSuccess) {
      EXPECT_EQ(store.RegCloseKey(key), kErrorSuccess);
    } else {
      EXPECT_EQ(key, kUntouched) << subKey;
    }
    return status;
  }

  Environment environment;
  RegistryModel& store = environment.Store();
};

struct StoreName {
  template <typename Environment>
  static std::string GetName(int) {
    return Environment::kName;
  }
};
using Stores = ::testing::Types<InMemory, KeyFiles>;
TYPED_TEST_SUITE(RegistryContractTest, Stores, StoreName);

TYPED_TEST(RegistryContractTest, KeepsTheExactBytesAndTypeOfEveryValue) {
  const auto values = OddRegistryValues();
  for (std::size_t i = 0; i < std::size(values); ++i) {
    this->Write(kHKeyLocalMachine, kSettingsKey, kOddValueName + std::to_string(i), values[i].first,
                values[i].second);
  }
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const Read read =
        this->ReadValue(kHKeyLocalMachine, kSettingsKey, kOddValueName + std::to_string(i));
    EXPECT_EQ(read.status, kErrorSuccess) << i;
    EXPECT_EQ(read.type, values[i].first) << i;
    EXPECT_EQ(read.bytes, values[i].second) << i;
  }

  // A write stores the bytes counted, and replaces the value's type with its own.
  const std::string counted = "12345";
  const HKey key = this->Create(kHKeyLocalMachine, kSettingsKey);
  EXPECT_EQ(this->store.RegSetValueExA(key, "music", 0, win::kRegBinary, Bytes(counted), 3),
            kErrorSuccess);
  EXPECT_EQ(this->Query(key, "music").bytes, "123");
  EXPECT_EQ(this->Set(key, "music", win::kRegSz, "1"), kErrorSuccess);
  const Read replaced = this->Query(key, "music");
  EXPECT_EQ(replaced.type, win::kRegSz);
  EXPECT_EQ(replaced.bytes, "1");
  EXPECT_EQ(this->store.RegCloseKey(key), kErrorSuccess);
}

TYPED_TEST(RegistryContractTest, AQueryGivesTypeAndSizeAndFillsOnlyABufferLargeEnough) {
  this->Write(kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "12345");
  this->Write(kHKeyLocalMachine, kSettingsKey, "empty", win::kRegBinary, "");
  const HKey key = this->Open(kHKeyLocalMachine, kSettingsKey, win::kKeyRead);
  RegistryModel& store = this->store;

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(store.RegQueryValueExA(key, "music", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, win::kRegSz);
  EXPECT_EQ(size, 5u);
  type = 0;
  EXPECT_EQ(store.RegQueryValueExA(key, "music", &type, nullptr, nullptr), kErrorSuccess);
  EXPECT_EQ(type, win::kRegSz);

  std::string buffer = "xxxxxxxx";
  type = 0;
  size = 4;
  EXPECT_EQ(store.RegQueryValueExA(key, "music", &type, Bytes(buffer), &size), kErrorMoreData);
  EXPECT_EQ(size, 5u) << "the size needed";
  EXPECT_EQ(type, win::kRegSz);
  EXPECT_EQ(buffer, "xxxxxxxx") << "a buffer too small is left as it was";
  EXPECT_EQ(store.RegQueryValueExA(key, "music", nullptr, Bytes(buffer), nullptr), kErrorMoreData);
  EXPECT_EQ(buffer, "xxxxxxxx");

  size = 5;
  EXPECT_EQ(store.RegQueryValueExA(key, "music", nullptr, Bytes(buffer), &size), kErrorSuccess);
  EXPECT_EQ(buffer, "12345xxx");
  buffer = "yyyyyyyy";
  size = 8;
  EXPECT_EQ(store.RegQueryValueExA(key, "music", &type, Bytes(buffer), &size), kErrorSuccess);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(buffer, "12345yyy") << "bytes past the value are left as they were";

  size = 0;
  EXPECT_EQ(store.RegQueryValueExA(key, "empty", &type, Bytes(buffer), &size), kErrorSuccess);
  EXPECT_EQ(type, win::kRegBinary);
  EXPECT_EQ(size, 0u);

  EXPECT_EQ(store.RegQueryValueExA(key, "mouse", &type, nullptr, &size), kErrorFileNotFound);
  EXPECT_EQ(store.RegCloseKey(key), kErrorSuccess);
}

TYPED_TEST(RegistryContractTest, KeyAndValueNamesIgnoreAsciiCase) {
  this->Write(kHKeyCurrentUser, "control panel\\DESKTOP", "screensaveusepassword", win::kRegSz,
              "0");
  this->Write(kHKeyCurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword",
              win::kRegDword, std::string("\x01\0\0\0", 4));
  const Read flag =
      this->ReadValue(kHKeyCurrentUser, "CONTROL PANEL\\desktop", "SCREENSAVEUSEPASSWORD");
  EXPECT_EQ(flag.status, kErrorSuccess);
  EXPECT_EQ(flag.type, win::kRegDword) << "one value, replaced";
  EXPECT_EQ(flag.bytes, std::string("\x01\0\0\0", 4));

  // Two spellings of one key reach the same values, through handles of their own.
  const HKey upper = this->Create(kHKeyCurrentUser, "CONTROL PANEL\\DESKTOP");
  const HKey lower = this->Open(kHKeyCurrentUser, "control panel\\desktop", win::kKeyRead);
  EXPECT_NE(upper, lower);
  EXPECT_EQ(this->Set(upper, "WallPaper", win::kRegSz, "none"), kErrorSuccess);
  EXPECT_EQ(this->Query(lower, "wallpaper").bytes, "none");
  EXPECT_EQ(this->store.RegCloseKey(upper), kErrorSuccess);
  EXPECT_EQ(this->Query(lower, "WALLPAPER").bytes, "none") << "one handle outlives the other";
  EXPECT_EQ(this->store.RegCloseKey(lower), kErrorSuccess);
}

TYPED_TEST(RegistryContractTest, ACreatedKeyComesWithItsParentsAndKeysAreFoundByWholeNames) {
  EXPECT_EQ(this->OpenStatus(kHKeyCurrentUser, "Control Panel\\Desktop"), kErrorFileNotFound);
  const HKey desktop = this->Create(kHKeyCurrentUser, "Control Panel\\Desktop");
  EXPECT_EQ(this->Query(desktop, "ScreenSaveActive").status, kErrorFileNotFound)
      << "a new key holds no values";
  EXPECT_EQ(this->OpenStatus(kHKeyCurrentUser, "Control Panel"), kErrorSuccess);
  EXPECT_EQ(this->OpenStatus(kHKeyCurrentUser, "control panel\\desktop"), kErrorSuccess);
  EXPECT_EQ(this->OpenStatus(kHKeyCurrentUser, "Control"), kErrorFileNotFound);
  EXPECT_EQ(this->OpenStatus(kHKeyCurrentUser, "Control Panel\\Desk"), kErrorFileNotFound);
  EXPECT_EQ(this->OpenStatus(kHKeyCurrentUser, "Control Panel\\Desktop\\Colors"),
            kErrorFileNotFound);
  EXPECT_EQ(this->OpenStatus(kHKeyLocalMachine, "Control Panel"), kErrorFileNotFound);

  // Under an open key, as under a root.
  const HKey colors = this->Create(desktop, "Colors\\Scheme");
  EXPECT_EQ(this->Set(colors, "Window", win::kRegSz, "255 255 255"), kErrorSuccess);
  EXPECT_EQ(this->store.RegCloseKey(colors), kErrorSuccess);
  EXPECT_EQ(this->OpenStatus(desktop, "colors"), kErrorSuccess);
  EXPECT_EQ(this->ReadValue(kHKeyCurrentUser, "Control Panel\\Desktop\\Colors\\Scheme", "window")
                .bytes,
            "255 255 255");

  // Creating a key that is there opens it with its values.
  const HKey again = this->Create(kHKeyCurrentUser, "Control Panel\\Desktop\\Colors\\Scheme");
  EXPECT_EQ(this->Query(again, "Window").bytes, "255 255 255");
  EXPECT_EQ(this->store.RegCloseKey(again), kErrorSuccess);
  EXPECT_EQ(this->store.RegCloseKey(desktop), kErrorSuccess);
}

TYPED_TEST(RegistryContractTest, RegOpenKeyExAGivesTheAccessAskedFor) {
  this->Write(kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "1");
  RegistryModel& store = this->store;
  struct Access {
    std::uint32_t rights;
    bool query;
    bool set;
  };
  const Access asked[] = {
      {win::kKeyRead, true, false},
      {win::kKeySetValue, false, true},
      {win::kKeyRead | win::kKeySetValue, true, true},
      {0, false, false},
  };
  std::string stored = "1";
  for (const Access& access : asked) {
    const HKey key = this->Open(kHKeyLocalMachine, kSettingsKey, access.rights);
    std::uint32_t size = 0;
    EXPECT_EQ(store.RegQueryValueExA(key, "music", nullptr, nullptr, &size),
              access.query ? kErrorSuccess : kErrorAccessDenied)
        << access.rights;
    const std::string next = stored + "+";
    EXPECT_EQ(this->Set(key, "music", win::kRegSz, next),
              access.set ? kErrorSuccess : kErrorAccessDenied)
        << access.rights;
    if (access.set) stored = next;
    EXPECT_EQ(store.RegCloseKey(key), kErrorSuccess);
    EXPECT_EQ(this->ReadValue(kHKeyLocalMachine, kSettingsKey, "music").bytes, stored)
        << "a refused write changes nothing";
  }

  // The calls without an access mask give every right.
  HKey opened = kUntouched;
  ASSERT_EQ(store.RegOpenKeyA(kHKeyLocalMachine, kSettingsKey, &opened), kErrorSuccess);
  const HKey created = this->Create(kHKeyLocalMachine, kSettingsKey);
  for (const HKey key : {opened, created}) {
    EXPECT_EQ(this->Set(key, "music", win::kRegSz, std::to_string(key)), kErrorSuccess);
    EXPECT_EQ(this->Query(key, "music").bytes, std::to_string(key));
    EXPECT_EQ(store.RegCloseKey(key), kErrorSuccess);
  }
}

TYPED_TEST(RegistryContractTest, AHandleThatIsNotOpenIsRefusedAndAMissingKeyIsNotFound) {
  RegistryModel& store = this->store;
  const HKey closed = this->Create(kHKeyCurrentUser, "Software");
  EXPECT_EQ(store.RegCloseKey(closed), kErrorSuccess);
  EXPECT_EQ(store.RegCloseKey(closed), kErrorInvalidHandle);

  const HKey notOpen[] = {0, closed, kUntouched, 0x7FFFFFFF, win::kHKeyDynData + 1};
  for (const HKey root : notOpen) {
    HKey key = kUntouched;
    EXPECT_EQ(store.RegOpenKeyA(root, "", &key), kErrorInvalidHandle) << root;
    EXPECT_EQ(store.RegOpenKeyExA(root, "Software", 0, win::kKeyRead, &key), kErrorInvalidHandle)
        << root;
    EXPECT_EQ(store.RegCreateKeyA(root, "Ghost", &key), kErrorInvalidHandle) << root;
    EXPECT_EQ(key, kUntouched) << root;
    std::uint32_t size = 0;
    EXPECT_EQ(store.RegQueryValueExA(root, "v", nullptr, nullptr, &size), kErrorInvalidHandle)
        << root;
    EXPECT_EQ(this->Set(root, "v", win::kRegSz, "1"), kErrorInvalidHandle) << root;
    EXPECT_EQ(store.RegCloseKey(root), kErrorInvalidHandle) << root;
  }
  for (const HKey root : kRoots) {
    EXPECT_EQ(this->OpenStatus(root, "Ghost"), kErrorFileNotFound) << "nothing was created";
  }

  HKey key = kUntouched;
  EXPECT_EQ(store.RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE\\Nobody", 0, win::kKeyRead, &key),
            kErrorFileNotFound);
  EXPECT_EQ(key, kUntouched);
  EXPECT_EQ(this->ReadValue(kHKeyCurrentUser, "Software", "absent").status, kErrorFileNotFound);
}

TYPED_TEST(RegistryContractTest, EachPredefinedRootHoldsKeysAndValuesOfItsOwn) {
  for (const HKey root : kRoots) {
    this->Write(root, "Probe", "root", win::kRegSz, std::to_string(root));
  }
  for (const HKey root : kRoots) {
    EXPECT_EQ(this->ReadValue(root, "Probe", "root").bytes, std::to_string(root)) << root;
    EXPECT_EQ(this->OpenStatus(root, ""), kErrorSuccess) << "a root is always there";
  }

  // A root opened or created by an empty path is a key like the others.
  const HKey user = this->Create(kHKeyCurrentUser, "");
  EXPECT_EQ(this->Set(user, "Top", win::kRegSz, "user"), kErrorSuccess);
  EXPECT_EQ(this->store.RegCloseKey(user), kErrorSuccess);
  EXPECT_EQ(this->ReadValue(kHKeyCurrentUser, "", "top").bytes, "user");
  EXPECT_EQ(this->ReadValue(win::kHKeyUsers, "", "top").status, kErrorFileNotFound);
  EXPECT_EQ(this->ReadValue(kHKeyCurrentUser, "Probe", "top").status, kErrorFileNotFound);
}

TYPED_TEST(RegistryContractTest, ARefusedWriteOrCreateChangesNothing) {
  this->Write(kHKeyLocalMachine, kSettingsKey, "music", win::kRegSz, "1");
  const HKey writable = this->Create(kHKeyLocalMachine, kSettingsKey);
  this->environment.RefuseWrites();

  EXPECT_EQ(this->Set(writable, "music", win::kRegSz, "2"), kErrorAccessDenied);
  EXPECT_EQ(this->Set(writable, "mouse", win::kRegSz, "5"), kErrorAccessDenied);
  EXPECT_EQ(this->store.RegCloseKey(writable), kErrorSuccess);
  EXPECT_EQ(this->ReadValue(kHKeyLocalMachine, kSettingsKey, "music").bytes, "1");
  EXPECT_EQ(this->ReadValue(kHKeyLocalMachine, kSettingsKey, "mouse").status, kErrorFileNotFound);

  HKey key = kUntouched;
  EXPECT_EQ(this->store.RegCreateKeyA(kHKeyLocalMachine, "SOFTWARE\\New\\Key", &key),
            kErrorAccessDenied);
  EXPECT_EQ(key, kUntouched);
  EXPECT_EQ(this->OpenStatus(kHKeyLocalMachine, "SOFTWARE\\New"), kErrorFileNotFound);
  // A key that is there needs no write to be opened.
  const HKey existing = this->Create(kHKeyLocalMachine, kSettingsKey);
  EXPECT_EQ(this->Query(existing, "music").bytes, "1");
  EXPECT_EQ(this->store.RegCloseKey(existing), kErrorSuccess);
}

}  // namespace
}  // namespace vellomar
