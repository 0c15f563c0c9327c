// Linked into a copy of vellomar.scr for the tests on a UTF-8 ANSI code page. Windows refuses a
// default character, or a flag for its use, whenever the code page is UTF-8 or UTF-7, also when
// CP_ACP names one of them; Wine 8 converts anyway. The linker routes the program's calls here
// (--wrap), so that the copy meets the rule as it would on Windows.
#include <windows.h>

using Convert = decltype(&WideCharToMultiByte);

extern "C" Convert __real___imp_WideCharToMultiByte;

namespace {

int WINAPI StrictWideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideLength,
                                     LPSTR bytes, int byteLength, LPCCH defaultChar,
                                     LPBOOL usedDefault) {
  const UINT resolved = codePage == CP_ACP     ? GetACP()
                        : codePage == CP_OEMCP ? GetOEMCP()
                                               : codePage;
  if ((resolved == CP_UTF8 || resolved == CP_UTF7) && (defaultChar || usedDefault)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return __real___imp_WideCharToMultiByte(codePage, flags, wide, wideLength, bytes, byteLength,
                                          defaultChar, usedDefault);
}

}  // namespace

extern "C" {
Convert __wrap___imp_WideCharToMultiByte = StrictWideCharToMultiByte;
}
