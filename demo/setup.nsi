; The demo disc's installer, "setup.exe" at the disc's root, and the
; uninstaller it writes. The installer copies the disc's game folder
; "rumbelon" into the installation folder, writes the game's start settings
; ("res.dat") and registers the game where the menu looks for it: the
; application path of "rumbelon.exe" and the uninstall entry "Rumbelon",
; under HKEY_LOCAL_MACHINE. Both entries land in the 32-bit registry view,
; this installer's own, which is the one the menu reads. The uninstaller
; removes exactly what the installer made.
;
; Pages: welcome, folder, progress, finish; the uninstaller's: confirmation,
; progress, finish. "setup.exe /S" installs without them. Both programs
; note their start in the demo's log, as the disc's other programs do.
;
; Built by demo/CMakeLists.txt:
;   makensis -DOUTFILE=<setup.exe> -DICON=<rumbelon.ico> setup.nsi

Unicode true
SetCompressor /SOLID lzma
!include LogicLib.nsh
!include MUI2.nsh

Name "Rumbelon"
; The menu starts the installer by the name "setup.exe", which Windows
; takes for an installer's: it applies its installer shims.
!pragma warning disable 9000
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Rumbelon"
; The game goes under Program Files and registers under
; HKEY_LOCAL_MACHINE: both need administrator rights.
RequestExecutionLevel admin
BrandingText "Rumbelon"

!define APP_PATHS "Software\Microsoft\Windows\CurrentVersion\App Paths\rumbelon.exe"
!define UNINSTALL_ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rumbelon"
!define UNINSTALLER "uninst.exe"
!define DEMO_LOG "C:\rumbelon-demo.log"

; The files of the disc's game folder, which the installer copies and the
; uninstaller removes: a file added to the folder is added here.
!macro ForEachGameFile Apply
  !insertmacro ${Apply} "rumbelon.exe"
!macroend

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
; A finish page rather than the progress page's Close button, which is
; enabled a moment before it works.
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; The installer's own texts; MUI brings the rest. A language is added with
; its MUI_LANGUAGE line above and a LangString line for each text here.
LangString WelcomeTitle ${LANG_ENGLISH} "Welcome to Rumbelon"
LangString WelcomeText ${LANG_ENGLISH} "Setup copies Rumbelon from the disc to your computer.$\r$\n$\r$\nYou can choose the folder on the next page.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_ENGLISH} "Rumbelon is installed.$\r$\n$\r$\nPlay it from the disc's menu."
LangString CopyFailed ${LANG_ENGLISH} "The game's files could not be copied from the disc."
LangString RegisterFailed ${LANG_ENGLISH} "Rumbelon could not be installed completely."

; Appends this run's line to the demo's log, in the format of the disc's
; other programs: the program's path, its process id, its current
; directory and its command line, separated by tabs. A log that cannot be
; written changes nothing else.
!macro LogThisRun
  System::Call "kernel32::GetCurrentProcessId() i .r1"
  System::Call "kernel32::GetCurrentDirectory(i ${NSIS_MAX_STRLEN}, t .r2)"
  ClearErrors
  FileOpen $0 "${DEMO_LOG}" a
  ${IfNot} ${Errors}
    FileSeek $0 0 END
    FileWrite $0 "$EXEPATH$\t$1$\t$2$\t$CMDLINE$\r$\n"
    FileClose $0
  ${EndIf}
!macroend

Function .onInit
  !insertmacro LogThisRun
FunctionEnd

Function un.onInit
  !insertmacro LogThisRun
FunctionEnd

; Files on a disc are read-only; their copies must not be.
!macro CopyGameFile Name
  CopyFiles /SILENT "$EXEDIR\rumbelon\${Name}" "$INSTDIR\${Name}"
  SetFileAttributes "$INSTDIR\${Name}" NORMAL
!macroend

!macro DeleteGameFile Name
  Delete "$INSTDIR\${Name}"
!macroend

Section
  ClearErrors
  SetOutPath "$INSTDIR"
  !insertmacro ForEachGameFile CopyGameFile
  ; The game's start values: 640x480 (code 6), full screen, high drawing
  ; distance.
  FileOpen $0 "$INSTDIR\res.dat" w
  FileWrite $0 "6 F H$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    Abort "$(CopyFailed)"
  ${EndIf}

  ; Registered last: the menu offers to play only a complete installation.
  WriteRegStr HKLM "${APP_PATHS}" "" "$INSTDIR\rumbelon.exe"
  WriteRegStr HKLM "${APP_PATHS}" "Path" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "DisplayName" "Rumbelon"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "DisplayIcon" "$INSTDIR\rumbelon.exe"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "Publisher" "Rumbelon"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegDWORD HKLM "${UNINSTALL_ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_ENTRY}" "NoRepair" 1
  ${If} ${Errors}
    Abort "$(RegisterFailed)"
  ${EndIf}
SectionEnd

; Only the files that the installer made, each by name: a link among them
; goes, never what it points to, and the folder goes only when nothing
; else is left in it.
Section "Uninstall"
  !insertmacro ForEachGameFile DeleteGameFile
  Delete "$INSTDIR\res.dat"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${APP_PATHS}"
  DeleteRegKey HKLM "${UNINSTALL_ENTRY}"
SectionEnd
