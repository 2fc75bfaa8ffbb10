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

# krn_link_program(TARGET GUI_BACKEND): links the layers with the system backend
# and the given GUI backend. The backends call back into the toolkit and the
# layers call the backends, so the group is rescanned.
function(krn_link_program target gui_backend)
  target_link_libraries(${target} PRIVATE
    "$<LINK_GROUP:RESCAN,krn_app,krn_xml,krn_ui,krn_base,${gui_backend},${KRN_SYSTEM_BACKEND}>")
  # Every Linux program carries the version block that the version queries read back.
  if(TARGET krn_version_block)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:krn_version_block>)
  endif()
endfunction()
