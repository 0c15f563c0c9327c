# Cross-build for 64-bit Windows with MinGW-w64 (posix thread model, so std::thread and std::mutex
# work). Programs link statically and import only system DLLs. Tests run under Wine through
# tools/wine/run-wine.sh, which starts the project's Wine session when none runs.
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(VELLOMAR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

get_filename_component(_vellomar_run_wine "${CMAKE_CURRENT_LIST_DIR}/../tools/wine/run-wine.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_vellomar_run_wine}")
