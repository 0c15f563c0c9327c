#include "e2e_support.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace e2e {

// ---- time ----

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / perMs;
}

namespace {

void DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Waits for the handle (or only for messages, when null) for at most ms, handling messages.
void WaitAndPump(HANDLE handle, DWORD ms) {
  const DWORD count = handle ? 1 : 0;
  MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, ms, QS_ALLINPUT);
  DispatchPending();
}

}  // namespace

void Pump(DWORD ms) {
  const double end = NowMs() + ms;
  for (double now = NowMs(); now < end; now = NowMs()) {
    WaitAndPump(nullptr, static_cast<DWORD>(end - now) + 1);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const double end = NowMs() + timeoutMs;
  while (!done()) {
    if (NowMs() >= end) return done();
    WaitAndPump(nullptr, 2);
  }
  return true;
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

void ReportMedian(const char* what, const std::vector<double>& samples) {
  std::ostringstream list;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    list << (i ? ", " : "") << static_cast<int>(samples[i] + 0.5);
  }
  const double median = Median(samples);
  std::printf("[ median   ] %s: %.1f ms over %zu runs (%s)\n", what, median, samples.size(),
              list.str().c_str());
  std::fflush(stdout);
  ::testing::Test::RecordProperty(what, std::to_string(static_cast<int>(median + 0.5)));
}

// ---- text and files ----

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

std::wstring MakeFolder(const wchar_t* tag) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static unsigned serial = 0;
  for (;;) {
    const std::wstring folder = std::wstring(temp) + L"vellomar-e2e-" + tag + L"-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++serial);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return folder;
  }
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::optional<std::string> ReadBytes(const std::wstring& file) {
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(handle);
  return bytes;
}

// ---- the program ----

std::wstring SiblingPath(const std::wstring& fileName) {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + fileName;
}

std::wstring ProgramPath() { return SiblingPath(L"vellomar.scr"); }

namespace {

std::wstring NameOf(const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); }

// This process's environment with the given variables replaced, as a CreateProcessW block.
std::wstring EnvironmentBlock(const Environment& extra) {
  std::vector<std::wstring> entries;
  if (wchar_t* all = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = all; *entry; entry += wcslen(entry) + 1) {
      const std::wstring text = entry;
      const bool replaced = std::any_of(extra.begin(), extra.end(), [&](const auto& variable) {
        return _wcsicmp(NameOf(text).c_str(), variable.first.c_str()) == 0;
      });
      if (!replaced) entries.push_back(text);
    }
    FreeEnvironmentStringsW(all);
  }
  for (const auto& [name, value] : extra) {
    if (!value.empty()) entries.push_back(name + L"=" + value);
  }
  std::wstring block;
  for (const std::wstring& entry : entries) block += entry + L'\0';
  block += L'\0';
  return block;
}

}  // namespace

Process::Process(const std::wstring& args, const Environment& extra, const std::wstring& program) {
  std::wstring line = L"\"" + program + L"\"" + (args.empty() ? L"" : L" " + args);
  std::wstring environment = EnvironmentBlock(extra);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startMs_ = NowMs();
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &info_)) {
    ADD_FAILURE() << "CreateProcessW failed with " << GetLastError() << " for "
                  << Narrow(line);
    info_ = {};
  }
}

Process::~Process() {
  if (!info_.hProcess) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Process::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs) {
  if (!info_.hProcess) return false;
  const double end = NowMs() + timeoutMs;
  while (Running()) {
    const double now = NowMs();
    if (now >= end) return false;
    WaitAndPump(info_.hProcess, static_cast<DWORD>(std::min(end - now, 50.0)) + 1);
  }
  if (exitMs_ == 0) exitMs_ = NowMs();
  return true;
}

std::optional<DWORD> Process::ExitCode() const {
  DWORD code = 0;
  if (!info_.hProcess || Running() || !GetExitCodeProcess(info_.hProcess, &code)) {
    return std::nullopt;
  }
  return code;
}

// ---- windows ----

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(window, text.data(), length + 1);
  text.resize(n > 0 ? n : 0);
  return text;
}

LONG_PTR ExStyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ClientRect(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK NoteWindowOfProcess(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId) search.found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(NoteWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> FormWindows(DWORD processId) {
  std::vector<HWND> forms;
  for (HWND window : TopLevelWindows(processId)) {
    if (ClassOf(window) == kFormClass) forms.push_back(window);
  }
  return forms;
}

HWND FindTopLevel(DWORD processId, const std::function<bool(HWND)>& match) {
  for (HWND window : TopLevelWindows(processId)) {
    if (match(window)) return window;
  }
  return nullptr;
}

HWND WaitForWindow(DWORD processId, const std::wstring& windowClass,
                   const std::optional<std::wstring>& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = FindTopLevel(processId, [&](HWND window) {
          return IsWindowVisible(window) && ClassOf(window) == windowClass &&
                 (!caption || TextOf(window) == *caption);
        });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND WaitForGuard(const Process& process, DWORD timeoutMs) {
  return WaitForWindow(process.id(), kFormClass, std::wstring(kGuardCaption), timeoutMs);
}

namespace {

BOOL CALLBACK NoteFormWindow(HWND window, LPARAM param) {
  if (ClassOf(window) == kFormClass) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> AllFormWindows() {
  std::vector<HWND> forms;
  EnumWindows(NoteFormWindow, reinterpret_cast<LPARAM>(&forms));
  return forms;
}

void RaiseTopMostWindows(DWORD processId) {
  std::vector<HWND> windows = TopLevelWindows(processId);
  std::reverse(windows.begin(), windows.end());
  for (HWND window : windows) {
    if (IsWindowVisible(window) && (ExStyleOf(window) & WS_EX_TOPMOST)) {
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

Screenshot::Screenshot(const RECT& area)
    : area_(area),
      pixels_(static_cast<std::size_t>(area.right - area.left) * (area.bottom - area.top)) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  if (bits) std::copy_n(static_cast<const std::uint32_t*>(bits), pixels_.size(), pixels_.begin());
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

COLORREF Screenshot::At(int x, int y) const {
  const std::uint32_t pixel =
      pixels_[static_cast<std::size_t>(y - area_.top) * (area_.right - area_.left) + (x - area_.left)];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::vector<DWORD> ProcessesNamed(const std::wstring& exeName) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "CreateToolhelp32Snapshot failed with " << GetLastError();
    return ids;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    // The name may come with its folder.
    std::wstring name = entry.szExeFile;
    name.erase(0, name.find_last_of(L"\\/") + 1);
    if (_wcsicmp(name.c_str(), exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

HWND WaitForMessageBox(const Process& process, DWORD timeoutMs) {
  return WaitForWindow(process.id(), L"#32770", std::nullopt, timeoutMs);
}

std::wstring MessageBoxText(HWND box) {
  // The message is the box's static control with text (its icon is a static without).
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0 && !TextOf(child).empty()) {
      text = TextOf(child);
    }
  }
  return text;
}

void DismissMessageBox(HWND box) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

void PostKey(HWND window, WORD virtualKey) {
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

void TypeKey(WORD virtualKey) {
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
}

bool CursorShowing() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) != 0;
}

namespace {

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, m, wp, lp);
}

}  // namespace

PreviewPane::PreviewPane() {
  static const bool registered = [] {
    WNDCLASSW plain{};
    plain.lpfnWndProc = PlainProc;
    plain.hInstance = GetModuleHandleW(nullptr);
    plain.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    plain.lpszClassName = L"VellomarE2EPane";
    return RegisterClassW(&plain) != 0;
  }();
  EXPECT_TRUE(registered);
  dialog_ = CreateWindowExW(0, L"VellomarE2EPane", L"Display Properties",
                            WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  pane_ = CreateWindowExW(0, L"VellomarE2EPane", L"", WS_CHILD | WS_VISIBLE, 30, 20, kWidth,
                          kHeight, dialog_, nullptr, GetModuleHandleW(nullptr), nullptr);
  Pump(20);
}

PreviewPane::~PreviewPane() {
  if (IsWindow(dialog_)) DestroyWindow(dialog_);
}

std::wstring PreviewPane::Number() const {
  return std::to_wstring(static_cast<long long>(reinterpret_cast<LONG_PTR>(pane_)));
}

HWND PreviewPane::WaitForChildOf(const Process& process, DWORD timeoutMs) const {
  // Moving into the pane hides the window for a moment, and it may come before the sizing.
  HWND found = nullptr;
  WaitUntil(
      [&] {
        HWND child = Child();
        DWORD owner = 0;
        if (child) GetWindowThreadProcessId(child, &owner);
        found = child && owner == process.id() && IsWindowVisible(child) &&
                        SameRect(ClientRect(child), ClientRect(pane_))
                    ? child
                    : nullptr;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

// ---- the error log ----

FILETIME LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME t;
  SystemTimeToFileTime(&now, &t);
  return t;
}

namespace {

std::string DateTimeText(const SYSTEMTIME& time) {
  char date[128] = {};
  char clock[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 128);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 128);
  return std::string(date) + " " + clock;
}

}  // namespace

std::set<std::string> DateTimeTexts(const FILETIME& from, const FILETIME& to) {
  constexpr ULONGLONG kSecond = 10000000;  // in 100 ns
  auto value = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  std::set<std::string> texts;
  for (ULONGLONG t = value(from) - kSecond; t <= value(to) + kSecond; t += kSecond / 2) {
    const FILETIME at{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
    SYSTEMTIME local;
    FileTimeToSystemTime(&at, &local);
    texts.insert(DateTimeText(local));
  }
  return texts;
}

std::vector<std::string> LinesWithEnds(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? end : end + 2 - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// ---- the stand-in movie control ----

Standin::Standin(const std::wstring& folder)
    : log_(folder + L"\\standin.log"), commands_(folder + L"\\standin-commands.txt") {}

Environment Standin::Env(const std::wstring& fail, const std::wstring& mode) const {
  return {{L"VELLOMAR_STANDIN_LOG", log_},
          {L"VELLOMAR_STANDIN_COMMANDS", commands_},
          {L"VELLOMAR_STANDIN_FAIL", fail},
          {L"VELLOMAR_STANDIN_MODE", mode}};
}

std::vector<std::string> Standin::LogLines() const {
  std::vector<std::string> lines;
  const std::string all = ReadBytes(log_).value_or("");
  std::size_t start = 0;
  for (std::size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(all.substr(start, end - start));
  }
  return lines;
}

bool Standin::Logged(const std::string& line) const {
  const std::vector<std::string> lines = LogLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

void Standin::Send(const std::vector<std::pair<std::string, std::string>>& commands) const {
  std::string text;
  for (const auto& [command, args] : commands) text += command + "\t" + args + "\n";
  // Written aside and renamed into place, so the control never reads half a request.
  const std::wstring aside = commands_ + L".new";
  HANDLE file = CreateFileW(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(MoveFileExW(aside.c_str(), commands_.c_str(), MOVEFILE_REPLACE_EXISTING));
}

}  // namespace e2e
