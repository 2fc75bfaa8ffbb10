# Cross build for 32-bit Windows, the program users get on every Windows, with Debian's
# MinGW-w64 i686 toolchain (packages mingw-w64, g++-mingw-w64-i686; see
# scripts/setup-windows.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KRN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
