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
krn_link_program(krn2html krn_gui_win32)
set_target_properties(krn2html PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KRN_PROGRAM_DIR})

krn_program_folder(krn2html)
set(templates ${KRN_TEMPLATES})

# The command-line converter: the same application code as a console program.
add_executable(krn2html-convert ${CMAKE_SOURCE_DIR}/program/main_convert.cpp)
krn_link_program(krn2html-convert krn_gui_win32)
set_target_properties(krn2html-convert PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KRN_PROGRAM_DIR})
add_dependencies(krn2html-convert krn2html_folder)

# The zip holds one folder, krn2html/, as it is to be unpacked and run.
set(package_dir ${CMAKE_BINARY_DIR}/package)
set(package_zip ${CMAKE_BINARY_DIR}/krn2html-${PROJECT_VERSION}-win32.zip)
add_custom_command(OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory "${package_dir}/krn2html/HTML Support"
    "${package_dir}/krn2html/Defaults"
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:krn2html> $<TARGET_FILE:krn2html-convert>
    ${package_dir}/krn2html/
  COMMAND ${CMAKE_COMMAND} -E copy ${templates} "${package_dir}/krn2html/HTML Support/"
  COMMAND ${CMAKE_COMMAND} -E rm -f ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_dir} zip -q -r ${package_zip} krn2html
  DEPENDS krn2html krn2html-convert ${templates}
  COMMENT "Packing ${package_zip}")
add_custom_target(krn2html_zip ALL DEPENDS ${package_zip})
