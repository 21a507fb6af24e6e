# Every source folder is one layer. A folder names the folders it builds on,
# and its files may include headers from those folders (and from what they
# build on in turn), never from a folder above. scripts/check_layers holds
# every #include to that, and CTest runs it.
#
#   quillmark_folder_library(FOLDER [STANDARD_ONLY] SOURCES ... [PUBLIC ...] [PRIVATE ...])
#     builds the folder's static library, quillmark_<folder>, and links it to
#     the libraries of the folders it names.
#   quillmark_folder_uses(FOLDER [STANDARD_ONLY] FOLDER...)
#     only records what a folder without a library of its own (a program, an
#     implementation built into another folder's library) builds on.
#
# STANDARD_ONLY: the folder's files include the C++ standard library and the
# project's own headers, nothing of the system or a toolkit.

function(quillmark_folder_target folder out)
  string(REPLACE "/" "_" name "quillmark_${folder}")
  set(${out} ${name} PARENT_SCOPE)
endfunction()

function(quillmark_record_layer folder standard_only)
  set(kind any)
  if(standard_only)
    set(kind standard)
  endif()
  list(JOIN ARGN " " uses)
  set_property(GLOBAL APPEND PROPERTY QUILLMARK_LAYERS "${folder} ${kind} ${uses}")
endfunction()

function(quillmark_folder_library folder)
  cmake_parse_arguments(arg "STANDARD_ONLY" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  quillmark_folder_target(${folder} name)
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  foreach(scope PUBLIC PRIVATE)
    foreach(used IN LISTS arg_${scope})
      quillmark_folder_target(${used} used_target)
      target_link_libraries(${name} ${scope} ${used_target})
    endforeach()
  endforeach()
  quillmark_record_layer(${folder} "${arg_STANDARD_ONLY}" ${arg_PUBLIC} ${arg_PRIVATE})
endfunction()

function(quillmark_folder_uses folder)
  cmake_parse_arguments(arg "STANDARD_ONLY" "" "" ${ARGN})
  quillmark_record_layer(${folder} "${arg_STANDARD_ONLY}" ${arg_UNPARSED_ARGUMENTS})
endfunction()

# Writes the recorded layers, one folder per line: "FOLDER KIND USED...".
function(quillmark_write_layers file)
  get_property(layers GLOBAL PROPERTY QUILLMARK_LAYERS)
  list(JOIN layers "\n" text)
  file(WRITE ${file} "${text}\n")
endfunction()
