# Where `cmake --install` puts the programs. On Linux the programs go to
# bin/ and the demo's helpers (the board simulator, the J-Link stand-in),
# which nobody runs by hand, to libexec/quillmark/; the wizard finds them
# there through QUILLMARK_HELPER_FOLDER, relative to its own folder so that
# any prefix works. On Windows everything sits in the program folder itself,
# with the probe's tool in jlink\ below it.
include(GNUInstallDirs)
if(WIN32)
  set(QUILLMARK_INSTALL_BINDIR .)
  set(QUILLMARK_INSTALL_HELPERDIR .)
else()
  set(QUILLMARK_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(QUILLMARK_INSTALL_HELPERDIR ${CMAKE_INSTALL_LIBEXECDIR}/quillmark)
endif()
file(RELATIVE_PATH QUILLMARK_HELPER_FOLDER
  /prefix/${QUILLMARK_INSTALL_BINDIR} /prefix/${QUILLMARK_INSTALL_HELPERDIR})
if(NOT QUILLMARK_HELPER_FOLDER)
  set(QUILLMARK_HELPER_FOLDER .)
endif()
