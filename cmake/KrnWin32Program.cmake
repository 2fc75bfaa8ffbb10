# The Windows program and its runnable program folder (included by
# program/CMakeLists.txt in a Windows build):
#   build-win/program/krn2html.exe        PE32 GUI executable with VERSIONINFO
#   build-win/program/krn2html-convert.exe  PE32 console executable, the command-line converter
#   build-win/program/HTML Support/       the shipped templates
#   build-win/program/Defaults/           remembered template and field values (empty)
# and the deliverables: that folder packed fresh (without what a run left in Defaults) as
# krn2html-<version>-win32.zip (win64 in the 64-bit build), and an installer for the current
# user, krn2html-<version>-win32.msi (win64), made by wixl from the same files.

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
set(package_zip ${CMAKE_BINARY_DIR}/krn2html-${PROJECT_VERSION}-${KRN_WIN_ARCH}.zip)
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

# The installer: the packed folder's files, less Defaults (an installed program keeps its
# settings in the user's folder), for the current user without administrator rights.
find_program(KRN_WIXL wixl REQUIRED)
set(package_msi ${CMAKE_BINARY_DIR}/krn2html-${PROJECT_VERSION}-${KRN_WIN_ARCH}.msi)
# wixl takes a file's source relative to the .wxs file, which lies beside the package folder.
set(KRN_MSI_SOURCE package/krn2html)
set(KRN_MSI_TEMPLATE_FILES "")
set(index 0)
foreach(template ${templates})
  get_filename_component(name ${template} NAME)
  math(EXPR index "${index} + 1")
  string(APPEND KRN_MSI_TEMPLATE_FILES
    "                <File Id=\"Template${index}\" Name=\"${name}\" Source=\"${KRN_MSI_SOURCE}/HTML Support/${name}\"/>\n")
endforeach()
if(KRN_WIN_ARCH STREQUAL win64)
  set(KRN_MSI_WIN64 yes)
  set(KRN_MSI_NAME_SUFFIX " (64-bit)")
  set(KRN_MSI_UPGRADE_CODE 3f0b7c52-9a0e-4d61-8c77-2e5b1d9a4f63)
  set(msi_arch x64)
else()
  set(KRN_MSI_WIN64 no)
  set(KRN_MSI_NAME_SUFFIX "")
  set(KRN_MSI_UPGRADE_CODE 8c4e2a17-6d3b-4f90-b1a5-7e0c9d2f3b48)
  set(msi_arch x86)
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/krn2html.wxs.in ${CMAKE_BINARY_DIR}/krn2html.wxs @ONLY)
add_custom_command(OUTPUT ${package_msi}
  COMMAND ${KRN_WIXL} -a ${msi_arch} -o ${package_msi} ${CMAKE_BINARY_DIR}/krn2html.wxs
  DEPENDS ${package_zip} ${CMAKE_BINARY_DIR}/krn2html.wxs
  COMMENT "Making the installer ${package_msi}")
add_custom_target(krn2html_msi ALL DEPENDS ${package_msi})
