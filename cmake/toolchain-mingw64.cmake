# Cross build for 64-bit Windows from the same sources, with Debian's MinGW-w64 x86-64
# toolchain (package g++-mingw-w64-x86-64; see scripts/setup-windows.sh): the program
# without the 4 GB ceiling of a 32-bit process, and the build the Windows suite runs on
# under wine64 where a machine cannot start 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KRN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
