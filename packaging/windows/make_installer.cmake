# Lays the programs out in STAGE as `cmake --install` does, then packs that
# folder with makensis: every installed file goes into the installer, and
# the uninstaller removes exactly those files and the folders they made.
# Usage: cmake -DBUILD= -DSTAGE= -DMAKENSIS= -DSCRIPT= -DVERSION= -DICON=
#              -DOUTFILE= -P make_installer.cmake
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE} --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(install_lines "")
set(uninstall_lines "")
set(folders "")
foreach(file IN LISTS files)
  get_filename_component(folder ${file} DIRECTORY)
  string(REPLACE "/" "\\" windows_file "${file}")
  string(REPLACE "/" "\\" windows_folder "${folder}")
  set(out "$INSTDIR")
  if(folder)
    set(out "$INSTDIR\\${windows_folder}")
  endif()
  string(APPEND install_lines "  SetOutPath \"${out}\"\n  File \"${STAGE}/${file}\"\n")
  string(APPEND uninstall_lines "  Delete \"$INSTDIR\\${windows_file}\"\n")
  if(folder)
    list(APPEND folders ${windows_folder})
  endif()
endforeach()
# Deepest folders first; RMDir leaves a folder that still holds the user's
# own files (the probe's tool in jlink\).
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
  string(APPEND uninstall_lines "  RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()

set(defines -DVERSION=${VERSION} -DOUTFILE=${OUTFILE} -DICON=${ICON}
            -DFILES=${STAGE}.nsh)
if(EXISTS ${STAGE}/quillmark.exe)
  list(APPEND defines -DWIZARD)
endif()
file(WRITE ${STAGE}.nsh
  "!macro InstallFiles\n${install_lines}!macroend\n"
  "!macro UninstallFiles\n${uninstall_lines}!macroend\n")
get_filename_component(output_folder ${OUTFILE} DIRECTORY)
file(MAKE_DIRECTORY ${output_folder})
execute_process(COMMAND ${MAKENSIS} -V2 ${defines} ${SCRIPT} COMMAND_ERROR_IS_FATAL ANY)
