# The Windows programs, cross-built (cmake/mingw-w64-x86_64.cmake): the
# command line and the J-Link stand-in, no window, tested under wine.
if(QUILLMARK_BUILD_GUI OR QUILLMARK_BUILD_BENCH)
  message(FATAL_ERROR "The Windows build has no window and no benchmarks: "
                      "leave QUILLMARK_BUILD_GUI and QUILLMARK_BUILD_BENCH off")
endif()

# The programs' resources (pictures, icon, version, manifest) are compiled
# by windres.
enable_language(RC)

# Wide calls throughout; nothing of the system's headers beyond what is used.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# CLI11 is header-only; the cross compiler gets a copy of its headers alone,
# never the host's /usr/include with everything else in it.
find_path(QUILLMARK_CLI11_HEADERS CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT QUILLMARK_CLI11_HEADERS)
  message(FATAL_ERROR "CLI11's headers are missing (Debian: libcli11-dev)")
endif()
file(COPY ${QUILLMARK_CLI11_HEADERS}/CLI DESTINATION ${PROJECT_BINARY_DIR}/cli11)
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/cli11)

# Tests run under wine in a prefix of this build folder's own, so that
# nothing outside the folder is touched.
if(CMAKE_CROSSCOMPILING)
  set(QUILLMARK_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${QUILLMARK_WINEPREFIX} WINEDEBUG=-all wine)
endif()
