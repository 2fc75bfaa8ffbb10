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
  # The resource compiler's inputs are not scanned: a changed manifest must rebuild it.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/krn2html.manifest)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# The 64-bit twin of the 32-bit program: same sources, no 4 GB ceiling.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KRN_WIN_ARCH win64)
else()
  set(KRN_WIN_ARCH win32)
endif()

# Programs of a cross build run under Wine: CTest and GoogleTest's discovery go
# through a wrapper that keeps its own Wine prefix (32- or 64-bit, as the build) in the
# build tree, quiet (WINEDEBUG=-all), and created once with wineboot.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(KRN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(KRN_WINEARCH ${KRN_WIN_ARCH})
  if(KRN_WIN_ARCH STREQUAL win64)
    find_program(KRN_WINE_LOADER NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
    if(NOT KRN_WINE_LOADER)
      find_program(KRN_WINE_LOADER NAMES wine64 wine)
    endif()
  else()
    find_program(KRN_WINE_LOADER NAMES wine)
  endif()
  if(NOT KRN_WINE_LOADER)
    set(KRN_WINE_LOADER wine)
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# Tests written on Linux use a few glibc calls; the Microsoft C runtime has
# them under other names (see cmake/posix_compat_win32.h).
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/cmake/posix_compat_win32.h>")

# Every 32-bit program may use the 4 GB of address space that 64-bit Windows (and Wine)
# gives a 32-bit process marked large-address-aware, instead of 2 GB. (A 64-bit program has
# its whole address space; the 64-bit linker knows no such flag.)
if(KRN_WIN_ARCH STREQUAL win32)
  add_link_options(-Wl,--large-address-aware)
endif()
