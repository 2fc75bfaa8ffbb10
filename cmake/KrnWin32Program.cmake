# The Windows program and its runnable program folder (included by
# program/CMakeLists.txt in a Windows build):
#   build-win/program/krn2html.exe        PE32 GUI executable with VERSIONINFO
#   build-win/program/krn2html-convert.exe  PE32 console executable, the command-line converter
#   build-win/program/HTML Support/       the shipped templates
#   build-win/program/Defaults/           remembered template and field values (empty)
# and the deliverable, that folder packed fresh (without what a run left in
# Defaults) as build-win/krn2html-<version>-win32.zip.

set(KRN_PROGRAM_DIR ${CMAKE_BINARY_DIR}/program CACHE INTERNAL "")

add_executable(krn2html WIN32 ${CMAKE_SOURCE_DIR}/program/main_win32.cpp)
krn_link_program(krn2html krn_gui_win32 FRONT_ENDS krn_window)
set_target_properties(krn2html PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KRN_PROGRAM_DIR})

krn_program_folder(krn2html)
set(templates ${KRN_TEMPLATES})

# The command-line converter: the same core and settings as a console program, with the GUI
# half without a display (no USER32 window, no COMDLG32 dialog).
add_executable(krn2html-convert ${CMAKE_SOURCE_DIR}/program/main_convert.cpp)
krn_link_program(krn2html-convert krn_gui_console FRONT_ENDS krn_command)
set_target_properties(krn2html-convert PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KRN_PROGRAM_DIR})
add_dependencies(krn2html-convert krn2html_folder)

# The zip holds one folder, krn2html/, as it is to be unpacked and run: both executables
# stripped (their debug information stays in build-win/debug/*.debug, linked by name), the
# templates, an empty Defaults, README.txt, the licence and expat's licence.
find_program(KRN_MINGW_OBJCOPY NAMES ${KRN_MINGW_TRIPLE}-objcopy REQUIRED)
find_program(KRN_MINGW_STRIP NAMES ${KRN_MINGW_TRIPLE}-strip REQUIRED)
set(expat_copying ${KRN_WIN_DEPS_PREFIX}/../expat-src/COPYING)
if(NOT EXISTS ${expat_copying})
  message(FATAL_ERROR "expat's licence is missing (${expat_copying}): run scripts/setup-windows.sh")
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/README-windows.txt.in ${CMAKE_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
set(package_dir ${CMAKE_BINARY_DIR}/package)
set(debug_dir ${CMAKE_BINARY_DIR}/debug)
set(package_zip ${CMAKE_BINARY_DIR}/krn2html-${PROJECT_VERSION}-win32.zip)
set(strip_commands)
foreach(program krn2html krn2html-convert)
  list(APPEND strip_commands
    COMMAND ${KRN_MINGW_OBJCOPY} --only-keep-debug $<TARGET_FILE:${program}> ${debug_dir}/${program}.exe.debug
    COMMAND ${KRN_MINGW_STRIP} --strip-all -o ${package_dir}/krn2html/${program}.exe $<TARGET_FILE:${program}>
    COMMAND ${CMAKE_COMMAND} -E chdir ${debug_dir}
      ${KRN_MINGW_OBJCOPY} --add-gnu-debuglink=${program}.exe.debug ${package_dir}/krn2html/${program}.exe)
endforeach()
add_custom_command(OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory "${package_dir}/krn2html/HTML Support"
    "${package_dir}/krn2html/Defaults" ${debug_dir}
  ${strip_commands}
  COMMAND ${CMAKE_COMMAND} -E copy ${templates} "${package_dir}/krn2html/HTML Support/"
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/README.txt ${package_dir}/krn2html/README.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE ${package_dir}/krn2html/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${expat_copying} ${package_dir}/krn2html/expat-COPYING.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_dir} zip -q -r ${package_zip} krn2html
  DEPENDS krn2html krn2html-convert ${templates} ${CMAKE_BINARY_DIR}/README.txt
    ${CMAKE_SOURCE_DIR}/LICENSE
  COMMENT "Packing ${package_zip}")
add_custom_target(krn2html_zip ALL DEPENDS ${package_zip})
