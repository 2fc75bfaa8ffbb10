# The include check itself (cmake -P; CHECKER names check_includes.cmake, WORK a scratch
# folder): on small trees, each forbidden include is reported with its file and line and fails
# the check, and a tree that keeps the rules passes.
cmake_minimum_required(VERSION 3.25)

# case name | file | its text | the report expected ("" for a tree that passes)
set(cases
  "clean|core/page.cpp|#include \"core/page.h\"\\n#include \"xml/tree.h\"\\n#include <cstdio>\\n|"
  "core includes the window|core/page.cpp|#include \"core/page.h\"\\n#include \"window/main_window.h\"\\n|core/page.cpp:2: includes window/main_window.h"
  "settings include the command|settings/prefs.cpp|#include \"command/scene_jobs.h\"\\n|settings/prefs.cpp:1: includes command/scene_jobs.h"
  "the window includes the command|window/conversion.cpp|#include \"settings/templates.h\"\\n#include \"command/convert_options.h\"\\n|window/conversion.cpp:2: includes command/convert_options.h"
  "the command includes the window|command/convert_command.cpp|#include \"window/page_writer.h\"\\n|command/convert_command.cpp:1: includes window/page_writer.h"
  "the core includes the settings|core/page_conversion.cpp|#include \"settings/templates.h\"\\n|core/page_conversion.cpp:1: includes settings/templates.h"
  "a layer includes a backend|ui/message_box.cpp|#include \"platform/headless/headless_desktop.h\"\\n|ui/message_box.cpp:1: includes platform/headless/headless_desktop.h"
  "a backend includes another|platform/console/console_dialogs.cpp|#include \"platform/fltk/fltk_state.h\"\\n|platform/console/console_dialogs.cpp:1: includes platform/fltk/fltk_state.h"
  "a lower layer includes the core|xml/xml_tree.cpp|#include \"core/page_text.h\"\\n|xml/xml_tree.cpp:1: includes core/page_text.h"
  "the command's entry includes the window|program/main_convert.cpp|#include \"window/program_entry.h\"\\n|program/main_convert.cpp:1: includes window/program_entry.h")

set(failures 0)
foreach(entry ${cases})
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 path)
  list(GET fields 2 text)
  list(LENGTH fields count)
  set(expected "")
  if(count GREATER 3)
    list(GET fields 3 expected)
  endif()
  string(REPLACE "\\n" "\n" text "${text}")
  string(MAKE_C_IDENTIFIER "${name}" id)
  set(tree "${WORK}/${id}")
  file(REMOVE_RECURSE "${tree}")
  # Every tree has one allowed file besides the case's, so that the check has files to read.
  file(WRITE "${tree}/base/string_buffer.h" "#include \"platform/file_system.h\"\n")
  file(WRITE "${tree}/${path}" "${text}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${CHECKER}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expected STREQUAL "")
    if(NOT result EQUAL 0)
      message("FAIL ${name}: the check failed on a tree that keeps the rules:\n${out}")
      math(EXPR failures "${failures} + 1")
    endif()
  else()
    string(FIND "${out}" "${expected}" at)
    if(result EQUAL 0 OR at EQUAL -1)
      message("FAIL ${name}: expected a failing check reporting \"${expected}\", got ${result}:\n${out}")
      math(EXPR failures "${failures} + 1")
    endif()
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
message(STATUS "every case reported as expected")
