# quillmark_part_default(OPTION OUT PACKAGE [ARGS...]): OUT is ON when
# find_package finds PACKAGE quietly; the first default of a part. A folder
# that has the option already keeps its choice, and nothing is looked for.
macro(quillmark_part_default option out package)
  set(${out} OFF)
  if(NOT DEFINED ${option})
    find_package(${package} QUIET ${ARGN})
    if(${package}_FOUND)
      set(${out} ON)
    endif()
  endif()
endmacro()
