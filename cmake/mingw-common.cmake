# The part of the MinGW-w64 cross builds that both Windows targets share; the toolchain
# files set KRN_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR, then include this.
# The runtime libraries are linked statically, so the executables need no
# DLL beyond those of Windows itself and run under Wine as they are.
set(CMAKE_SYSTEM_NAME Windows)

# The posix-thread variant carries std::thread, which GoogleTest uses.
find_program(KRN_MINGW_CC NAMES ${KRN_MINGW_TRIPLE}-gcc-posix ${KRN_MINGW_TRIPLE}-gcc REQUIRED)
find_program(KRN_MINGW_CXX NAMES ${KRN_MINGW_TRIPLE}-g++-posix ${KRN_MINGW_TRIPLE}-g++ REQUIRED)
set(CMAKE_C_COMPILER ${KRN_MINGW_CC})
set(CMAKE_CXX_COMPILER ${KRN_MINGW_CXX})
set(CMAKE_RC_COMPILER ${KRN_MINGW_TRIPLE}-windres)

# Libraries cross-built into a prefix of the build tree (expat, GoogleTest).
set(KRN_WIN_DEPS_PREFIX "" CACHE PATH "Prefix holding the cross-built expat and GoogleTest")
set(CMAKE_FIND_ROOT_PATH /usr/${KRN_MINGW_TRIPLE})
if(KRN_WIN_DEPS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${KRN_WIN_DEPS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
