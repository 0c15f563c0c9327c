// Failures of the guarded loads as processes: each appends one dated line to error.log in the
// install folder, and the window goes on with what was set up before the failure.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kTimeoutMs = 10000;

LRESULT CALLBACK PaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, m, wp, lp);
}

class ErrorLog : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "path", Narrow(folder_));
    WriteText(HKEY_LOCAL_MACHINE, kSettingsKey, "language", "1033");
  }
  void TearDown() override { RemoveFolder(folder_); }

  std::wstring LogFile() const { return folder_ + L"\\error.log"; }
  // The log's lines, each with its CR LF; a last piece without one counts as a line too.
  std::vector<std::string> Lines() const {
    return LinesWithEnds(ReadBytes(LogFile()).value_or(""));
  }
  // One line: a date-and-time text of the run, three blanks, the description, CR LF.
  void ExpectLine(const std::string& line, const std::set<std::string>& times,
                  const std::string& failure) {
    const std::size_t blanks = line.find("   ");
    ASSERT_NE(blanks, std::string::npos) << line;
    EXPECT_EQ(times.count(line.substr(0, blanks)), 1u) << "not a date and time of the run: " << line;
    const std::string description = line.substr(blanks + 3);
    ASSERT_GE(description.size(), 2u);
    EXPECT_NE(description[0], ' ') << "more than three blanks: " << line;
    EXPECT_EQ(description.substr(description.size() - 2), "\r\n");
    EXPECT_EQ(description.find('\n'), description.size() - 1) << "one line only: " << line;
    EXPECT_NE(description.find(failure), std::string::npos) << line;
  }

  SettingsGuard settings_;
  std::wstring folder_ = MakeFolder(L"errorlog");
  Standin standin_{folder_};
};

TEST_F(ErrorLog, FailingMovieInTheSettingsDialogIsLoggedAndTheDialogStaysOpen) {
  const FILETIME before = LocalNow();
  Process dialog(L"/c", standin_.Env(L"Movie"));
  HWND window = WaitForWindow(dialog.id(), kFormClass, std::nullopt, kTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !Lines().empty(); }, kTimeoutMs)) << "no error.log line";
  const FILETIME after = LocalNow();
  // The load stopped at the movie: no variable reached the control, no caption was set.
  EXPECT_TRUE(standin_.Logged("fail put Movie " + Narrow(folder_) + "\\vellomar.lak"));
  for (const std::string& line : standin_.LogLines()) {
    EXPECT_EQ(line.find("SetVariable"), std::string::npos) << line;
  }
  EXPECT_EQ(TextOf(window), L"");
  EXPECT_TRUE(dialog.Running());
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(dialog.WaitForExit(kTimeoutMs));
  EXPECT_EQ(dialog.ExitCode(), 0u);
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], DateTimeTexts(before, after), "stand-in failure: Movie");
}

TEST_F(ErrorLog, FailingMovieInThePreviewIsAppendedAfterAnEarlierLine) {
  const std::string earlier = "01/02/2003 04:05:06   an earlier failure\r\n";
  HANDLE file = CreateFileW(LogFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, earlier.data(), static_cast<DWORD>(earlier.size()), &written, nullptr);
  CloseHandle(file);

  WNDCLASSW paneClass{};
  paneClass.lpfnWndProc = PaneProc;
  paneClass.hInstance = GetModuleHandleW(nullptr);
  paneClass.lpszClassName = L"VellomarE2ELogPane";
  RegisterClassW(&paneClass);
  HWND pane = CreateWindowExW(0, L"VellomarE2ELogPane", L"pane", WS_POPUP | WS_VISIBLE, 40, 40,
                              160, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(pane, nullptr);
  const FILETIME before = LocalNow();
  Process preview(L"/p " + std::to_wstring(reinterpret_cast<LONG_PTR>(pane)),
                  standin_.Env(L"Movie"));
  ASSERT_TRUE(WaitUntil([&] { return Lines().size() >= 2; }, kTimeoutMs)) << "no second line";
  const FILETIME after = LocalNow();
  // Set up before the failure and left in place: the picture box fills the pane.
  HWND picture = GetWindow(pane, GW_CHILD);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(ClassOf(picture), kPictureClass);
  EXPECT_TRUE(SameRect(ClientRect(picture), ClientRect(pane)));
  EXPECT_FALSE(standin_.Logged("call Play"));
  DestroyWindow(pane);
  ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));
  EXPECT_EQ(preview.ExitCode(), 0u);

  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], earlier);
  ExpectLine(lines[1], DateTimeTexts(before, after), "stand-in failure: Movie");
}

// Writers of error.log take turns by an exclusive lock on its last possible byte, past any real
// end. A line that another writer has half written when the program's load fails stays whole: the
// program waits for the lock and appends its line after it.
TEST_F(ErrorLog, ALineIsAppendedOnlyAfterTheWriterHoldingTheLogIsDone) {
  HANDLE file = CreateFileW(LogFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  OVERLAPPED lastByte{};
  lastByte.Offset = 0xFFFFFFFE;
  lastByte.OffsetHigh = 0xFFFFFFFF;
  ASSERT_TRUE(LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &lastByte));
  const std::string start = "01/02/2003 04:05:06   another ";
  const std::string rest = "writer's line\r\n";
  DWORD written = 0;
  WriteFile(file, start.data(), static_cast<DWORD>(start.size()), &written, nullptr);

  const FILETIME before = LocalNow();
  Process preview(L"/p 0", standin_.Env(L"Movie"));
  const std::string failure = "fail put Movie " + Narrow(folder_) + "\\vellomar.lak";
  const bool failed = WaitUntil([&] { return standin_.Logged(failure); }, kTimeoutMs);
  // Time enough for a writer that ignores the lock to append its line; well within the program's
  // wait for it.
  Pump(150);
  SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END);
  WriteFile(file, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr);
  UnlockFileEx(file, 0, 1, 0, &lastByte);
  CloseHandle(file);
  ASSERT_TRUE(failed) << "the movie did not fail";
  ASSERT_TRUE(WaitUntil([&] { return Lines().size() >= 2; }, kTimeoutMs)) << "no line of ours";
  const FILETIME after = LocalNow();
  ASSERT_TRUE(preview.WaitForExit(kTimeoutMs));

  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], start + rest);
  ExpectLine(lines[1], DateTimeTexts(before, after), "stand-in failure: Movie");
}

// Two processes whose guarded loads fail at about the same moment append to one error.log, round
// after round: every line arrives whole and none is lost. A preview of pane 0 logs the failure
// of its movie and ends by itself at its first tick.
TEST_F(ErrorLog, TwoProcessesAppendingAtOnceLeaveEveryLineWhole) {
  constexpr int kRounds = 20;
  const FILETIME before = LocalNow();
  for (int round = 0; round < kRounds; ++round) {
    Process first(L"/p 0", standin_.Env(L"Movie"));
    Process second(L"/p 0", standin_.Env(L"Movie"));
    ASSERT_TRUE(first.WaitForExit(kTimeoutMs)) << "round " << round;
    ASSERT_TRUE(second.WaitForExit(kTimeoutMs)) << "round " << round;
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(second.ExitCode(), 0u);
  }
  const FILETIME after = LocalNow();
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u * kRounds);
  const std::set<std::string> times = DateTimeTexts(before, after);
  for (const std::string& line : lines) ExpectLine(line, times, "stand-in failure: Movie");
}

}  // namespace
}  // namespace e2e
