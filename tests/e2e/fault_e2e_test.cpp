// Hostile surroundings for the real program: a missing install folder, an error.log held by
// another process, a missing settings key, values of the wrong type or of 64 KiB in the real
// registry, and movie commands of 1 MiB or with embedded NULs. None may crash the program, hang
// it, lock the user in or lose a stored value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr const char* kNames[] = {"path", "language", "music", "mouse"};

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteUsualSettings(folder_);
  }
  void TearDown() override { RemoveFolder(folder_); }

  // The four settings and the desktop flag, as stored.
  static std::vector<std::optional<RegValue>> Stored() {
    std::vector<std::optional<RegValue>> values;
    for (const char* name : kNames)
      values.push_back(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name));
    values.push_back(ReadValue(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword"));
    return values;
  }
  static bool Holds(const char* name, const std::string& bytes) {
    const auto value = ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
    return value && value->type == REG_SZ && value->bytes == bytes;
  }

  // A full-screen run ended by a key to its guard.
  void SaverEndsByKey(const std::wstring& fail = L"") {
    Process saver(L"/s", standin_.Env(fail));
    HWND guard = WaitForGuard(saver, kTimeoutMs);
    ASSERT_NE(guard, nullptr) << "no guard: nothing would take the user's input";
    PostKey(guard, 'K');
    ASSERT_TRUE(saver.WaitForExit(kTimeoutMs)) << "a key did not end the run";
    EXPECT_EQ(saver.ExitCode(), 0u);
  }

  // A full-screen run ended by real cursor moves alone, each somewhere new.
  void SaverEndsByMoves() {
    Process saver(L"/s", standin_.Env());
    ASSERT_NE(WaitForGuard(saver, kTimeoutMs), nullptr);
    for (int move = 0; move < 12 && saver.Running(); ++move) {
      SetCursorPos(100 + (move % 2) * 400 + move * 7, 100 + move * 30);
      Pump(150);
    }
    ASSERT_TRUE(saver.WaitForExit(kTimeoutMs)) << "twelve moves did not end the run";
    EXPECT_EQ(saver.ExitCode(), 0u);
  }

  // The settings dialog opens, plays its movie and closes by its window's close.
  void DialogOpensAndCloses(const std::wstring& fail = L"") {
    Process dialog(L"/c", standin_.Env(fail));
    HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
    ASSERT_NE(window, nullptr);
    if (fail.empty())
      ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
    else
      Pump(300);
    EXPECT_TRUE(dialog.Running());
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
    EXPECT_EQ(dialog.ExitCode(), 0u);
  }

  // The preview shows in a pane and ends on WM_CLOSE to its picture box.
  void PreviewShowsAndCloses(const std::wstring& fail = L"") {
    PreviewPane pane;
    Process preview(L"/p " + pane.Number(), standin_.Env(fail));
    HWND picture = pane.WaitForChildOf(preview, kTimeoutMs);
    ASSERT_NE(picture, nullptr);
    PostMessageW(picture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
    EXPECT_EQ(preview.ExitCode(), 0u);
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"faults");
  Standin standin_{folder_};
};

TEST_F(Faults, MissingInstallFolderLosesTheLogLineAndEveryModeEndsNormally) {
  const std::wstring gone = folder_ + L"\\gone";
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "path", Narrow(gone));
  const auto before = Stored();
  // The movie fails to load, so each guarded load tries to log into the missing folder.
  SaverEndsByKey(L"Movie");
  EXPECT_TRUE(standin_.Logged("fail put Movie " + Narrow(gone) + "\\vellomar.lak"));
  DialogOpensAndCloses(L"Movie");
  PreviewShowsAndCloses(L"Movie");
  EXPECT_EQ(GetFileAttributesW(gone.c_str()), INVALID_FILE_ATTRIBUTES) << "the folder was made";
  EXPECT_FALSE(ReadBytes(folder_ + L"\\error.log")) << "the line went somewhere else";
  EXPECT_EQ(Stored(), before);
}

// A log that cannot be opened for appending. A read-only attribute would not do: Wine keeps it
// as the file's Unix permission bits, which do not stop root. Another process holding the file
// open without sharing stops every writer, as on Windows.
TEST_F(Faults, ErrorLogThatCannotBeOpenedKeepsItsBytesAndEveryModeEndsNormally) {
  const std::wstring log = folder_ + L"\\error.log";
  const std::string earlier = "01/02/2003 04:05:06   an earlier failure\r\n";
  HANDLE held =
      CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(held, earlier.data(), static_cast<DWORD>(earlier.size()), &written, nullptr);
  SaverEndsByKey(L"Movie");
  DialogOpensAndCloses(L"Movie");
  PreviewShowsAndCloses(L"Movie");
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(log), earlier);
  // Once the log is free again the same failure is written: the runs above did reach it.
  SaverEndsByKey(L"Movie");
  const std::vector<std::string> lines = LinesWithEnds(ReadBytes(log).value_or(""));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find("stand-in failure: Movie"), std::string::npos) << lines[1];
}

TEST_F(Faults, MissingSettingsKeyRunsEveryModeAndCreatesNothing) {
  for (const char* name : kNames) DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
  DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
  SaverEndsByKey();
  // The movie file is the backslash and the file name; "music" reaches the movie empty.
  EXPECT_TRUE(standin_.Logged("put Movie \\vellomar.lak"));
  EXPECT_TRUE(standin_.Logged("call SetVariable music "));
  EXPECT_TRUE(standin_.Logged("call SetVariable routine s"));
  SaverEndsByMoves();  // with no threshold stored, a few moves still end the run
  DialogOpensAndCloses();
  PreviewShowsAndCloses();
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS)
      << "only the installation and the settings dialog's commands write the key";
  if (key) RegCloseKey(key);
}

TEST_F(Faults, ValuesOfTheWrongTypeReadAsMissingAndStayAsTheyWere) {
  WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "path",
             {REG_DWORD, std::string("\x01\x02\x03\x04", 4)});
  WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "music", {REG_EXPAND_SZ, std::string("loud\0", 5)});
  WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "language",
             {REG_MULTI_SZ, std::string("1033\0\0", 6)});
  WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse", {REG_BINARY, std::string("\x01", 1)});
  WriteValue(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword",
             {REG_BINARY, std::string("\x01", 1)});
  const auto before = Stored();
  SaverEndsByKey();
  EXPECT_TRUE(standin_.Logged("put Movie \\vellomar.lak"));
  EXPECT_TRUE(standin_.Logged("call SetVariable music "));
  for (const std::string& line : standin_.LogLines()) {
    EXPECT_EQ(line.find("SetVariable language"), std::string::npos) << line;
  }
  SaverEndsByMoves();
  DialogOpensAndCloses();
  EXPECT_TRUE(standin_.Logged("call SetVariable mouse "));
  PreviewShowsAndCloses();
  EXPECT_EQ(Stored(), before);
}

TEST_F(Faults, SixtyFourKibibyteValuesStopNoModeAndStayAsTheyWere) {
  const std::string huge(64 * 1024, '7');
  WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "path", "C:\\" + huge);
  for (const char* name : {"language", "music", "mouse"}) {
    WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, name, huge);
  }
  WriteText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", huge);
  const auto before = Stored();
  SaverEndsByKey();
  EXPECT_TRUE(standin_.Logged("put Movie C:\\" + huge + "\\vellomar.lak"));
  EXPECT_TRUE(standin_.Logged("call SetVariable music " + huge));
  SaverEndsByMoves();  // a threshold far outside 16 bits is no threshold
  DialogOpensAndCloses();
  EXPECT_TRUE(standin_.Logged("call SetVariable mouse " + huge));
  PreviewShowsAndCloses();
  EXPECT_EQ(Stored(), before);
}

TEST_F(Faults, MebibyteAndNulBearingCommandsAreStoredExactlyAndReachTheSaver) {
  const std::string mebibyte(1024 * 1024, 'x');
  {
    Process dialog(L"/c", standin_.Env());
    HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return standin_.Logged("call Play"); }, kTimeoutMs));
    standin_.Send({{"setmusic", mebibyte}});
    ASSERT_TRUE(WaitUntil([&] { return Holds("music", mebibyte); }, kTimeoutMs))
        << "the 1 MiB value was not stored exactly";
    // A command name with a NUL inside is none of the two: "mouse" keeps its value.
    standin_.Send({{std::string("setmouse\0x", 10), "9"}, {"setmusic", "after"}});
    ASSERT_TRUE(WaitUntil([] { return Holds("music", "after"); }, kTimeoutMs));
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse")->bytes, std::string("3\0", 2));
    standin_.Send({{"setmusic", mebibyte}});
    ASSERT_TRUE(WaitUntil([&] { return Holds("music", mebibyte); }, kTimeoutMs));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
    EXPECT_EQ(dialog.ExitCode(), 0u);
  }
  SaverEndsByKey();
  EXPECT_TRUE(standin_.Logged("call SetVariable music " + mebibyte));

  const std::string withNul("7\0 8", 4);
  {
    Process dialog(L"/c", standin_.Env());
    HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
    ASSERT_NE(window, nullptr);
    // The control takes the request once its host listens to it.
    standin_.Send({{"setmusic", withNul}});
    ASSERT_TRUE(WaitUntil([&] { return Holds("music", withNul); }, kTimeoutMs))
        << "the value with a NUL inside was not stored byte for byte";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
    EXPECT_EQ(dialog.ExitCode(), 0u);
  }
  // The saver reads a string up to its first NUL.
  SaverEndsByKey();
  EXPECT_TRUE(standin_.Logged("call SetVariable music 7"));
  EXPECT_TRUE(Holds("music", withNul));
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, "mouse")->bytes, std::string("3\0", 2));
}

}  // namespace
}  // namespace e2e
