# Windows build specifics, included by the top-level CMakeLists.txt when WIN32.

enable_language(RC)

# expat is linked as a static library (cross-built by scripts/setup-windows.sh);
# without this its header declares the functions as DLL imports.
add_compile_definitions(XML_STATIC)

# krn_win32_version_resource(TARGET): compiles the VERSIONINFO resource, made
# from the project version, into TARGET.
function(krn_win32_version_resource target)
  set(rc ${CMAKE_BINARY_DIR}/generated/krn2html.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/krn2html.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# Programs of a cross build run under Wine: CTest and GoogleTest's discovery go
# through a wrapper that keeps its own 32-bit Wine prefix in the build tree,
# quiet (WINEDEBUG=-all), and created once with wineboot.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(KRN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# Tests written on Linux use a few glibc calls; the Microsoft C runtime has
# them under other names (see cmake/posix_compat_win32.h).
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/cmake/posix_compat_win32.h>")

# Every program may use the 4 GB of address space that 64-bit Windows (and Wine) gives a
# 32-bit process marked large-address-aware, instead of 2 GB.
add_link_options(-Wl,--large-address-aware)
