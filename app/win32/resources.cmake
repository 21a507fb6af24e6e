# The resources of quillmark.exe (quillmark.rc), compiled by windres into an
# object library that a program links:
#
#   include(${PROJECT_SOURCE_DIR}/app/win32/resources.cmake)
#   quillmark_add_resources(quillmark)
#
# A test program may give an .rc of its own that #includes quillmark.rc and
# adds resources of its own, with the folders its files are in:
#
#   quillmark_add_resources(tests RC tests.rc DIRS folder...)
include_guard(GLOBAL)

set(QUILLMARK_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/quillmark.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quillmark_version.h.in
               ${PROJECT_BINARY_DIR}/app/win32/quillmark_version.h @ONLY)
set(QUILLMARK_RESOURCE_DIRS
  ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/data/pictures ${PROJECT_BINARY_DIR}/app/win32)
# windres writes no dependency list: what the .rc takes in is named here so
# that a changed picture rebuilds it.
file(GLOB QUILLMARK_RESOURCE_INPUTS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/data/pictures/*.gif ${PROJECT_SOURCE_DIR}/data/pictures/*.ico
  ${CMAKE_CURRENT_LIST_DIR}/quillmark.manifest ${CMAKE_CURRENT_LIST_DIR}/quillmark.rc)
list(APPEND QUILLMARK_RESOURCE_INPUTS ${PROJECT_BINARY_DIR}/app/win32/quillmark_version.h)

function(quillmark_add_resources target)
  cmake_parse_arguments(arg "" "RC" "DIRS" ${ARGN})
  if(NOT arg_RC)
    set(arg_RC ${QUILLMARK_RESOURCES})
  endif()
  add_library(${target}_resources OBJECT ${arg_RC})
  target_include_directories(${target}_resources PRIVATE ${QUILLMARK_RESOURCE_DIRS} ${arg_DIRS})
  set_source_files_properties(${arg_RC} PROPERTIES OBJECT_DEPENDS "${QUILLMARK_RESOURCE_INPUTS}")
  target_link_libraries(${target} PRIVATE ${target}_resources)
endfunction()
