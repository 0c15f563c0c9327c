// A library named like the system's mpr.dll, which no program may load from its own folder: its
// PwdChangePasswordA leaves "<this library>.ran" beside itself, so a test sees that it was called.
#include <windows.h>

namespace {
HINSTANCE self = nullptr;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR, HWND, DWORD, LPVOID) {
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ERROR_BAD_PATHNAME;
  lstrcatW(path, L".ran");
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(marker);
  return ERROR_SUCCESS;
}
