# The resources of quillmark.exe (quillmark.rc), compiled by windres into an
# object library that a program links:
#
#   include(${PROJECT_SOURCE_DIR}/shell/win32/resources.cmake)
#   quillmark_add_resources(quillmark)
#
# A test program may give an .rc of its own that #includes quillmark.rc and
# adds resources of its own, with the folders its files are in:
#
#   quillmark_add_resources(tests RC tests.rc DIRS folder...)
include_guard(GLOBAL)

configure_file(${CMAKE_CURRENT_LIST_DIR}/quillmark_version.h.in
               ${PROJECT_BINARY_DIR}/shell/win32/quillmark_version.h @ONLY)

# Everything from the project's folders: the function runs in whichever
# folder calls it, the file is included only once.
function(quillmark_add_resources target)
  cmake_parse_arguments(arg "" "RC" "DIRS" ${ARGN})
  set(here ${PROJECT_SOURCE_DIR}/shell/win32)
  set(pictures ${PROJECT_SOURCE_DIR}/data/pictures)
  set(generated ${PROJECT_BINARY_DIR}/shell/win32)
  if(NOT arg_RC)
    set(arg_RC ${here}/quillmark.rc)
  endif()
  add_library(${target}_resources OBJECT ${arg_RC})
  target_include_directories(${target}_resources PRIVATE ${here} ${pictures} ${generated} ${arg_DIRS})
  # windres names no files it reads besides the included ones: a changed
  # picture rebuilds the resources through these.
  file(GLOB inputs CONFIGURE_DEPENDS ${pictures}/*.gif ${pictures}/*.ico)
  list(APPEND inputs ${here}/quillmark.manifest ${here}/quillmark.rc
                     ${generated}/quillmark_version.h)
  set_source_files_properties(${arg_RC} PROPERTIES OBJECT_DEPENDS "${inputs}")
  target_link_libraries(${target} PRIVATE ${target}_resources)
endfunction()
