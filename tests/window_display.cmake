# The Windows window tests: wine shows windows on an X display only. They
# share one virtual display, started before the first of them and stopped
# after the last, and wine is started with it (scripts/wine_on_display).
#
# Wine's desktop takes the display of the program that starts it, and the
# other Windows tests start theirs without one; so the window tests have a
# prefix of their own, whose desktop only they start. Listing the tests at
# build time starts it without a display too: the fixture lets that session
# end before the first test.
include(GoogleTest)
set(QUILLMARK_DISPLAY_PREFIX ${PROJECT_BINARY_DIR}/wineprefix-display)
quillmark_wine_prefix(wineprefix_display ${QUILLMARK_DISPLAY_PREFIX})

set(QUILLMARK_DISPLAY_STATE ${CMAKE_CURRENT_BINARY_DIR}/virtual_display)
set(virtual_display ${PROJECT_SOURCE_DIR}/scripts/virtual_display)
add_test(NAME VirtualDisplay.Start COMMAND ${virtual_display} start ${QUILLMARK_DISPLAY_STATE})
add_test(NAME VirtualDisplay.PrefixIdle
  COMMAND env WINEPREFIX=${QUILLMARK_DISPLAY_PREFIX} wineserver -w)
add_test(NAME VirtualDisplay.Stop COMMAND ${virtual_display} stop ${QUILLMARK_DISPLAY_STATE})
set_tests_properties(VirtualDisplay.Start VirtualDisplay.PrefixIdle
  PROPERTIES FIXTURES_SETUP virtual_display)
set_tests_properties(VirtualDisplay.PrefixIdle PROPERTIES DEPENDS VirtualDisplay.Start)
set_tests_properties(VirtualDisplay.Stop PROPERTIES FIXTURES_CLEANUP virtual_display)

# Runs the test program's tests on the shared display, each name starting
# with `name_prefix`; further arguments are test properties. One at a time:
# the prefix's desktop has one foreground window, and a window of another
# test taking it takes the keyboard focus from this one's.
function(quillmark_window_tests target name_prefix)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
    "${PROJECT_SOURCE_DIR}/scripts/wine_on_display;${QUILLMARK_DISPLAY_STATE};${QUILLMARK_DISPLAY_PREFIX}")
  add_dependencies(${target} wineprefix_display)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name_prefix}"
    PROPERTIES FIXTURES_REQUIRED virtual_display RESOURCE_LOCK virtual_display ${ARGN})
endfunction()
