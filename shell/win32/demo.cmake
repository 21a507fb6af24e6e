# The Windows wizard's demo bench: a library of its own, so that the program
# and the tests link the same one. The J-Link stand-in is found beside the
# program once installed, else where the build tree has it.
add_library(quillmark_shell_win32_demo STATIC ${CMAKE_CURRENT_LIST_DIR}/demo_bench.cpp)
target_link_libraries(quillmark_shell_win32_demo PUBLIC quillmark_app velkan_in_process_board)
target_compile_definitions(quillmark_shell_win32_demo PRIVATE
  QUILLMARK_JLINK_STANDIN="$<TARGET_FILE:jlink-standin>")
add_dependencies(quillmark_shell_win32_demo jlink-standin)
