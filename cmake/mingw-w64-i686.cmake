# Cross-build for 32-bit Windows with MinGW-w64 (posix thread model). Built only: this machine's
# Wine runs 64-bit programs alone, so no emulator is set and CTest cannot run these tests.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(VELLOMAR_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
