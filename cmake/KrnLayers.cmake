# Helpers shared by the layer folders.

# krn_layer(NAME [DEPS ...]): a static library of every .cpp in the calling folder.
function(krn_layer name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A layer still being written links as an empty library.
    set(sources ${CMAKE_BINARY_DIR}/generated/empty_layer.cpp)
    file(WRITE ${sources} "// empty\n")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# krn_link_program(TARGET GUI_BACKEND [FRONT_ENDS LIB ...]): links the given front ends
# (default: both, krn_window and krn_command, as tests and tools take them) with the settings,
# the core and the layers below, the system backend and the given GUI backend. The backends call
# back into the toolkit and the layers call the backends, so the group is rescanned.
function(krn_link_program target gui_backend)
  cmake_parse_arguments(ARG "" "" "FRONT_ENDS" ${ARGN})
  if(NOT ARG_FRONT_ENDS)
    set(ARG_FRONT_ENDS krn_window krn_command)
  endif()
  list(JOIN ARG_FRONT_ENDS "," front_ends)
  target_link_libraries(${target} PRIVATE
    "$<LINK_GROUP:RESCAN,${front_ends},krn_settings,krn_core,krn_xml,krn_ui,krn_base,${gui_backend},${KRN_SYSTEM_BACKEND}>")
  # Every Linux program carries the version block that the version queries read back.
  if(TARGET krn_version_block)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:krn_version_block>)
  endif()
  # Every Windows program carries the VERSIONINFO resource.
  if(COMMAND krn_win32_version_resource)
    krn_win32_version_resource(${target})
  endif()
endfunction()

# krn_program_folder(TARGET): lays out the runnable program folder around the
# program TARGET in KRN_PROGRAM_DIR: the shipped templates in "HTML Support"
# (copied whenever one changes; removed ones go at the next configure) and an
# empty "Defaults". Sets KRN_TEMPLATES in the caller to the shipped templates.
function(krn_program_folder target)
  set(support_src "${CMAKE_SOURCE_DIR}/data/HTML Support")
  set(support_dst "${KRN_PROGRAM_DIR}/HTML Support")
  file(GLOB templates CONFIGURE_DEPENDS "${support_src}/*.html")
  file(REMOVE_RECURSE "${support_dst}")
  set(copied)
  foreach(src ${templates})
    get_filename_component(name "${src}" NAME)
    add_custom_command(OUTPUT "${support_dst}/${name}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${support_dst}"
      COMMAND ${CMAKE_COMMAND} -E copy "${src}" "${support_dst}/${name}"
      DEPENDS "${src}"
      COMMENT "Copying template ${name}")
    list(APPEND copied "${support_dst}/${name}")
  endforeach()
  add_custom_target(${target}_folder ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory "${KRN_PROGRAM_DIR}/Defaults"
    DEPENDS ${copied})
  add_dependencies(${target} ${target}_folder)
  set(KRN_TEMPLATES ${templates} PARENT_SCOPE)
endfunction()
