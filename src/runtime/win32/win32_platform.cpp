#include "runtime/win32/win32_platform.h"

#include <vector>

#include "runtime/platform_constants.h"
#include "runtime/win32/win32_common.h"

namespace vellomar::win32 {

Win32Platform::Win32Platform() { OleInitialize(nullptr); }

Win32Platform::~Win32Platform() { OleUninitialize(); }

// ---- process, clock and text ----

std::string Win32Platform::CommandArgs() {
  const wchar_t* line = GetCommandLineW();
  // The program's own name, quoted or not, then the blanks that separate it from the arguments.
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return Narrow(line);
}

std::string Win32Platform::ExeName() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path);
  const auto slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const auto dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return Narrow(name);
}

ScreenMetrics Win32Platform::Screen() {
  return ScreenMetrics{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                       1440.0 / ScreenDpi(LOGPIXELSX), 1440.0 / ScreenDpi(LOGPIXELSY)};
}

double Win32Platform::SecondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

std::string Win32Platform::NowText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 128);
  return Narrow(date) + " " + Narrow(time);
}

std::string Win32Platform::Utf8ToAnsi(std::string_view text) {
  const UINT acp = GetACP();
  return FromWide(Widen(text), CP_ACP, acp == CP_UTF8 || acp == CP_UTF7 ? nullptr : "?");
}

std::string Win32Platform::AnsiToUtf8(std::string_view text) {
  return Narrow(ToWide(text, CP_ACP));
}

std::string Win32Platform::ErrorLogFile(const std::string& installFolder) {
  return installFolder + "\\error.log";
}

namespace {

// Writers of one log take turns by an exclusive lock on its last possible byte, past any real end,
// so that readers are never refused: an append is not atomic everywhere (Wine, network shares).
constexpr DWORD kLockOffsetLow = 0xFFFFFFFE;
constexpr DWORD kLockOffsetHigh = 0xFFFFFFFF;
// A writer holds the lock only for one line; one that takes longer is not waited for any more.
constexpr DWORD kLockWaitMs = 1000;
constexpr DWORD kLockRetryMs = 5;

bool LockLastByte(HANDLE file, OVERLAPPED& region) {
  region.Offset = kLockOffsetLow;
  region.OffsetHigh = kLockOffsetHigh;
  const ULONGLONG end = GetTickCount64() + kLockWaitMs;
  while (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region)) {
    if (GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount64() >= end) return false;
    Sleep(kLockRetryMs);
  }
  return true;
}

}  // namespace

bool Win32Platform::AppendFileA(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Without the lock in time the line is still written: losing it would be worse.
  OVERLAPPED region{};
  const bool locked = LockLastByte(file, region);
  DWORD written = 0;
  const BOOL wrote =
      SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END) &&
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (locked) UnlockFileEx(file, 0, 1, 0, &region);
  const BOOL closed = CloseHandle(file);
  return wrote && closed && written == bytes.size();
}

void Win32Platform::ShowErrorReport(std::int32_t number, const std::string& description) {
  const std::wstring text =
      L"Run-time error " + std::to_wstring(number) + L":\n\n" + Widen(description);
  // Owned by our active window, so it stays above it even when that one is top-most (the
  // full-screen saver's), with the keyboard; the program's other windows are disabled until it
  // is answered, so none takes the foreground back.
  MessageBoxW(GetActiveWindow(), text.c_str(), Widen(ExeName()).c_str(),
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST | MB_TASKMODAL);
}

void Win32Platform::ExitProcess(std::uint32_t exitCode) { ::ExitProcess(exitCode); }

// ---- user32 ----

Hwnd Win32Platform::FindWindowA(const char* className, const std::string& windowName) {
  return FromHwnd(::FindWindowA(className, windowName.c_str()));
}

std::int32_t Win32Platform::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, std::int32_t x,
                                         std::int32_t y, std::int32_t cx, std::int32_t cy,
                                         std::uint32_t flags) {
  return ::SetWindowPos(ToHwnd(hwnd), ToHwnd(insertAfter), x, y, cx, cy, flags);
}

std::intptr_t Win32Platform::SetWindowLongA(Hwnd hwnd, std::int32_t index,
                                            std::intptr_t newLong) {
  if (index == win::kGwlExStyle && (newLong & win::kWsExTransparent) != 0) {
    // Under a desktop compositor a transparent top-level window still paints over what lies
    // beneath it. A layered window of the least opacity lets the movie show through and, unlike
    // the transparent style, still receives every key and mouse event.
    const std::intptr_t previous = ::SetWindowLongPtrA(
        ToHwnd(hwnd), GWL_EXSTYLE, (newLong & ~win::kWsExTransparent) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(ToHwnd(hwnd), 0, 1, LWA_ALPHA);
    return previous;
  }
  return ::SetWindowLongPtrA(ToHwnd(hwnd), index, newLong);
}

LResult Win32Platform::CallWindowProcA(std::intptr_t prevProc, Hwnd hwnd, std::uint32_t msg,
                                       WParam wParam, LParam lParam) {
  return ::CallWindowProcA(reinterpret_cast<WNDPROC>(prevProc), ToHwnd(hwnd), msg, wParam,
                           lParam);
}

std::int32_t Win32Platform::ShowCursor(std::int32_t show) { return ::ShowCursor(show); }

std::int32_t Win32Platform::SystemParametersInfoA(std::uint32_t action, std::uint32_t param,
                                                  std::int32_t* pvParam, std::uint32_t winIni) {
  return ::SystemParametersInfoA(action, param, pvParam, winIni);
}

Hwnd Win32Platform::SetParent(Hwnd child, Hwnd newParent) {
  return FromHwnd(::SetParent(ToHwnd(child), ToHwnd(newParent)));
}

std::int32_t Win32Platform::GetClientRect(Hwnd hwnd, Rect* rect) {
  RECT client;
  if (!::GetClientRect(ToHwnd(hwnd), &client)) return 0;
  *rect = Rect{client.left, client.top, client.right, client.bottom};
  return 1;
}

std::int32_t Win32Platform::IsWindow(Hwnd hwnd) { return ::IsWindow(ToHwnd(hwnd)); }

// ---- kernel32 ----

std::int32_t Win32Platform::GetVersionExA(OsVersionInfoA* info) {
  static_assert(sizeof(OSVERSIONINFOA) == sizeof(OsVersionInfoA));
  return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info));
}

// ---- advapi32 ----

namespace {

// Installers of 32-bit programs write the settings to the 32-bit view of HKEY_LOCAL_MACHINE, where
// the 32-bit build always lives; the 64-bit build reaches the same place through this flag. The
// 32-bit build goes without it, since systems older than the flag refuse it.
REGSAM ViewOf(HKEY root) {
  return sizeof(void*) == 8 && root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0;
}

}  // namespace

std::int32_t Win32Platform::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  HKEY key = nullptr;
  // RegOpenKeyA has no access mask: the Ex call with the access that it asks for.
  const LONG status = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), 0,
                                      MAXIMUM_ALLOWED | ViewOf(ToHkey(root)), &key);
  if (status == ERROR_SUCCESS) *result = FromHkey(key);
  return status;
}

std::int32_t Win32Platform::RegOpenKeyExA(HKey root, const std::string& subKey,
                                          std::uint32_t options, std::uint32_t samDesired,
                                          HKey* result) {
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), options,
                                      samDesired | ViewOf(ToHkey(root)), &key);
  if (status == ERROR_SUCCESS) *result = FromHkey(key);
  return status;
}

std::int32_t Win32Platform::RegQueryValueExA(HKey key, const std::string& valueName,
                                             std::uint32_t* type, std::uint8_t* data,
                                             std::uint32_t* dataSize) {
  DWORD valueType = type ? *type : 0;
  DWORD size = dataSize ? *dataSize : 0;
  const LONG status = ::RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType,
                                         data, dataSize ? &size : nullptr);
  if (type) *type = valueType;
  if (dataSize) *dataSize = size;
  return status;
}

std::int32_t Win32Platform::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  HKEY key = nullptr;
  // RegCreateKeyA has no access mask: the Ex call with the access that it asks for.
  const LONG status =
      ::RegCreateKeyExA(ToHkey(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        MAXIMUM_ALLOWED | ViewOf(ToHkey(root)), nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) *result = FromHkey(key);
  return status;
}

std::int32_t Win32Platform::RegSetValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t reserved, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t dataSize) {
  // For string types the ANSI call stores one byte more than counted when that byte is a NUL,
  // as it always is after a std::string's text. A copy followed by a non-NUL byte makes it store
  // exactly the bytes counted.
  const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
  if (text && data && dataSize > 0) {
    std::vector<std::uint8_t> exact(data, data + dataSize);
    exact.push_back(0xFF);
    return ::RegSetValueExA(ToHkey(key), valueName.c_str(), reserved, type, exact.data(),
                            dataSize);
  }
  return ::RegSetValueExA(ToHkey(key), valueName.c_str(), reserved, type, data, dataSize);
}

std::int32_t Win32Platform::RegCloseKey(HKey key) { return ::RegCloseKey(ToHkey(key)); }

// ---- password services, found at run time: most systems have none ----

namespace {

// The system folder's copy by its full path, never one of the same name beside the program or in
// the current folder.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

}  // namespace

std::optional<std::int32_t> Win32Platform::VerifyScreenSavePwd(Hwnd owner) {
  HMODULE library = LoadSystemLibrary(L"password.cpl");
  if (!library) return std::nullopt;
  using Verify = BOOL(WINAPI*)(HWND);
  const auto verify = reinterpret_cast<Verify>(
      reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
  std::optional<std::int32_t> result;
  if (verify) result = verify(ToHwnd(owner));
  FreeLibrary(library);
  return result;
}

std::optional<std::uint32_t> Win32Platform::PwdChangePasswordA(const std::string& provider,
                                                               Hwnd owner,
                                                               std::uint32_t reserved1,
                                                               std::uint32_t reserved2) {
  HMODULE library = LoadSystemLibrary(L"mpr.dll");
  if (!library) return std::nullopt;
  using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
  const auto change = reinterpret_cast<Change>(
      reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
  std::optional<std::uint32_t> result;
  if (change) {
    result = change(provider.c_str(), ToHwnd(owner), reserved1,
                    reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(reserved2)));
  }
  FreeLibrary(library);
  return result;
}

}  // namespace vellomar::win32
