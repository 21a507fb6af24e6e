; The Quillmark installer. make_installer.cmake defines VERSION, OUTFILE,
; ICON, FILES (the InstallFiles and UninstallFiles macros for the staged
; programs) and WIZARD when the window program is among them.
; A 64-bit installer for 64-bit programs: it runs where they run, wine64 included.
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinVer.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark"
!define SETTINGS_KEY "Software\Quillmark"

Name "Quillmark ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillmark"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The probe's tool is the user's to install: the finish page says where it goes.
!define MUI_FINISHPAGE_TITLE "Quillmark is installed"
!define MUI_FINISHPAGE_TEXT "To program boards through a J-Link probe, copy the probe's command-line tool (JLink.exe, with the DLLs beside it) into the jlink folder of the program folder, as jlink\jlink.exe. The README there says more.$\r$\n$\r$\nBoards on a serial port need nothing more."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\jlink\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show where the J-Link tool goes"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ; The programs refuse an older Windows at their start; the installer says
  ; so before anything is installed. (A 32-bit Windows does not run this
  ; 64-bit installer at all.)
  ${IfNot} ${AtLeastWin10}
    MessageBox MB_OK|MB_ICONSTOP "Quillmark needs Windows 10 (64-bit) or later.$\r$\n$\r$\nThis computer runs an older Windows, on which Quillmark cannot watch for boards or start the J-Link tool. Nothing has been installed." /SD IDOK
    Abort
  ${EndIf}
  ; The programs are 64-bit: their keys and folders are the 64-bit ones.
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Quillmark"
  !insertmacro InstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
!ifdef WIZARD
  CreateShortcut "$SMPROGRAMS\Quillmark.lnk" "$INSTDIR\quillmark.exe"
!endif
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillmark"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillmark"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
!ifdef WIZARD
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillmark.exe"
!endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro UninstallFiles
  Delete "$SMPROGRAMS\Quillmark.lnk"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd
