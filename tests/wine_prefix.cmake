# The Windows tests' wine prefixes. Making one runs wine's whole first start,
# some tens of seconds; so one is made, never run in, and every prefix of the
# tests starts as a copy of it (two seconds).
set(QUILLMARK_WINEPREFIX_TEMPLATE ${PROJECT_BINARY_DIR}/wineprefix-template)
add_custom_command(
  OUTPUT ${QUILLMARK_WINEPREFIX_TEMPLATE}/system.reg
  COMMAND env WINEPREFIX=${QUILLMARK_WINEPREFIX_TEMPLATE} WINEDEBUG=-all wineboot -i
  COMMAND env WINEPREFIX=${QUILLMARK_WINEPREFIX_TEMPLATE} WINEDEBUG=-all wine winecfg /v win10
  COMMAND env WINEPREFIX=${QUILLMARK_WINEPREFIX_TEMPLATE} wineserver -w
  COMMENT "Making the wine prefix that the tests' prefixes copy"
  VERBATIM)
add_custom_target(wineprefix_template DEPENDS ${QUILLMARK_WINEPREFIX_TEMPLATE}/system.reg)

# Makes `prefix` as the target `target`, a copy of the template; with
# LOG_PIXELS, its windows start at that DPI. Its registry is touched last:
# the copy keeps the template's times, and a prefix no newer than the
# template would be made again at every build.
function(quillmark_wine_prefix target prefix)
  cmake_parse_arguments(arg "" "LOG_PIXELS" "" ${ARGN})
  set(settings)
  if(arg_LOG_PIXELS)
    set(settings
      COMMAND env WINEPREFIX=${prefix} WINEDEBUG=-all
              wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d ${arg_LOG_PIXELS} /f
      COMMAND env WINEPREFIX=${prefix} wineserver -w)
  endif()
  add_custom_command(
    OUTPUT ${prefix}/system.reg
    COMMAND rm -rf ${prefix}
    COMMAND cp -a ${QUILLMARK_WINEPREFIX_TEMPLATE} ${prefix}
    ${settings}
    COMMAND touch ${prefix}/system.reg
    DEPENDS ${QUILLMARK_WINEPREFIX_TEMPLATE}/system.reg
    COMMENT "Making the wine prefix ${prefix}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${prefix}/system.reg)
  add_dependencies(${target} wineprefix_template)
endfunction()
