; The demo disc's installer, "setup.exe" at the disc's root, and the
; uninstaller it writes. The installer copies the disc's game folder
; "rumbelon" into the installation folder, writes the game's start settings
; ("res.dat") and registers the game where the menu looks for it: the
; application path of "rumbelon.exe" and the uninstall entry "Rumbelon",
; under HKEY_LOCAL_MACHINE. Both entries land in the 32-bit registry view,
; this installer's own, which is the one the menu reads. It also makes the
; Start menu folder "Rumbelon", for all users, with shortcuts to the game
; and to the uninstaller. The uninstaller removes exactly what the
; installer made.
;
; Pages: welcome, folder, progress, finish; the uninstaller's: confirmation,
; progress, finish. "setup.exe /S" installs without them. Both programs
; note their start in the demo's log, as the disc's other programs do.
;
; The installer refuses a folder whose entries the menu could not read
; back (see CheckInstallFolder): on the folder page with a box, and with
; /S by ending with exit code 3 before anything is made.
;
; Built by demo/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DOUTFILE=<setup.exe> -DICON=<rumbelon.ico>
;            -DPRODUCT=<name> -DCOMPANY=<maker> -DCOPYRIGHT=<notice> -DVERSION=<a.b.c.d>
;            [-DSIGN=<command>] setup.nsi
; With SIGN, the command that signs the file it is given in place (run by
; makensis with the file's path as its one argument), both programs are
; signed: the uninstaller before the installer packs it, the installer
; once it is written.

Unicode true
SetCompressor /SOLID lzma
!include FileFunc.nsh
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
; The uninstall command line, as registered and as checked.
!define UNINSTALL_COMMAND '"$INSTDIR\${UNINSTALLER}"'
; The Start menu's folder, in the all-users Start menu (both programs set
; SetShellVarContext all), and the game's shortcut there: both are named
; after the game in every language.
!define START_MENU "$SMPROGRAMS\Rumbelon"
!define GAME_SHORTCUT "${START_MENU}\Rumbelon.lnk"
; The exit code of "setup.exe /S" for a folder that it refuses.
!define EXIT_FOLDER_REFUSED 3
!define DEMO_LOG "C:\rumbelon-demo.log"

!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

; The files of the disc's game folder, which the installer copies and the
; uninstaller removes: a file added to the folder is added here.
!macro ForEachGameFile Apply
  !insertmacro ${Apply} "rumbelon.exe"
  !insertmacro ${Apply} "FASTFILE.DAT"
!macroend

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FolderPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
; A finish page rather than the progress page's Close button, which is
; enabled a moment before it works.
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
; The menu's five languages, English first: the installer speaks the
; user's interface language when it is one of them, English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "Spanish"

; The version resource of the installer and of the uninstaller it writes.
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "InternalName" "setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "setup.exe"

; The installer's own texts, in each language; MUI brings the rest. A
; language is added with its MUI_LANGUAGE line above, a LangString line
; for each text here and the name of its uninstaller's shortcut below.
LangString WelcomeTitle ${LANG_ENGLISH} "Welcome to Rumbelon"
LangString WelcomeText ${LANG_ENGLISH} "Setup copies Rumbelon from the disc to your computer.$\r$\n$\r$\nYou can choose the folder on the next page.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_ENGLISH} "Rumbelon is installed.$\r$\n$\r$\nPlay it from the disc's menu."
LangString CopyFailed ${LANG_ENGLISH} "The game's files could not be copied from the disc."
LangString RegisterFailed ${LANG_ENGLISH} "Rumbelon could not be installed completely."
LangString FolderCharacters ${LANG_ENGLISH} "Rumbelon cannot be installed in this folder: its name has characters that the game cannot use on this computer.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nPlease choose a folder whose name has only characters of the language that Windows uses for programs without Unicode."
LangString FolderTooLong ${LANG_ENGLISH} "Rumbelon cannot be installed in this folder: its name is too long for the game.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nPlease choose a folder with a shorter name."

LangString WelcomeTitle ${LANG_FRENCH} "Bienvenue dans Rumbelon"
LangString WelcomeText ${LANG_FRENCH} "Le programme d'installation copie Rumbelon du CD vers votre ordinateur.$\r$\n$\r$\nVous pourrez choisir le dossier à la page suivante.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_FRENCH} "Rumbelon est installé.$\r$\n$\r$\nLancez-le depuis le menu du CD."
LangString CopyFailed ${LANG_FRENCH} "Impossible de copier les fichiers du jeu depuis le CD."
LangString RegisterFailed ${LANG_FRENCH} "Rumbelon n'a pas pu être installé entièrement."
LangString FolderCharacters ${LANG_FRENCH} "Impossible d'installer Rumbelon dans ce dossier : son nom contient des caractères que le jeu ne peut pas utiliser sur cet ordinateur.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nVeuillez choisir un dossier dont le nom ne contient que des caractères de la langue que Windows utilise pour les programmes non Unicode."
LangString FolderTooLong ${LANG_FRENCH} "Impossible d'installer Rumbelon dans ce dossier : son nom est trop long pour le jeu.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nVeuillez choisir un dossier au nom plus court."

LangString WelcomeTitle ${LANG_GERMAN} "Willkommen bei Rumbelon"
LangString WelcomeText ${LANG_GERMAN} "Das Installationsprogramm kopiert Rumbelon von der CD auf Ihren Computer.$\r$\n$\r$\nAuf der nächsten Seite können Sie den Ordner wählen.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_GERMAN} "Rumbelon ist installiert.$\r$\n$\r$\nStarten Sie es über das Menü der CD."
LangString CopyFailed ${LANG_GERMAN} "Die Dateien des Spiels konnten nicht von der CD kopiert werden."
LangString RegisterFailed ${LANG_GERMAN} "Rumbelon konnte nicht vollständig installiert werden."
LangString FolderCharacters ${LANG_GERMAN} "Rumbelon kann nicht in diesem Ordner installiert werden: Sein Name enthält Zeichen, die das Spiel auf diesem Computer nicht verwenden kann.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nBitte wählen Sie einen Ordner, dessen Name nur Zeichen der Sprache enthält, die Windows für Programme ohne Unicode verwendet."
LangString FolderTooLong ${LANG_GERMAN} "Rumbelon kann nicht in diesem Ordner installiert werden: Sein Name ist für das Spiel zu lang.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nBitte wählen Sie einen Ordner mit einem kürzeren Namen."

LangString WelcomeTitle ${LANG_ITALIAN} "Benvenuti in Rumbelon"
LangString WelcomeText ${LANG_ITALIAN} "Il programma di installazione copia Rumbelon dal CD al computer.$\r$\n$\r$\nNella pagina successiva è possibile scegliere la cartella.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_ITALIAN} "Rumbelon è installato.$\r$\n$\r$\nPer giocare, avviarlo dal menu del CD."
LangString CopyFailed ${LANG_ITALIAN} "Impossibile copiare i file del gioco dal CD."
LangString RegisterFailed ${LANG_ITALIAN} "Impossibile completare l'installazione di Rumbelon."
LangString FolderCharacters ${LANG_ITALIAN} "Impossibile installare Rumbelon in questa cartella: il suo nome contiene caratteri che il gioco non può usare su questo computer.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nScegliere una cartella il cui nome contenga solo caratteri della lingua che Windows usa per i programmi non Unicode."
LangString FolderTooLong ${LANG_ITALIAN} "Impossibile installare Rumbelon in questa cartella: il suo nome è troppo lungo per il gioco.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nScegliere una cartella con un nome più breve."

LangString WelcomeTitle ${LANG_SPANISH} "Bienvenido a Rumbelon"
LangString WelcomeText ${LANG_SPANISH} "El programa de instalación copia Rumbelon del CD a su equipo.$\r$\n$\r$\nEn la página siguiente puede elegir la carpeta.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_SPANISH} "Rumbelon está instalado.$\r$\n$\r$\nInícielo desde el menú del CD."
LangString CopyFailed ${LANG_SPANISH} "No se pudieron copiar los archivos del juego desde el CD."
LangString RegisterFailed ${LANG_SPANISH} "No se pudo completar la instalación de Rumbelon."
LangString FolderCharacters ${LANG_SPANISH} "No se puede instalar Rumbelon en esta carpeta: su nombre contiene caracteres que el juego no puede usar en este equipo.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nElija una carpeta cuyo nombre solo contenga caracteres del idioma que Windows usa para los programas no Unicode."
LangString FolderTooLong ${LANG_SPANISH} "No se puede instalar Rumbelon en esta carpeta: su nombre es demasiado largo para el juego.$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nElija una carpeta con un nombre más corto."

; The uninstaller's shortcut in the Start menu's folder, named in the
; installer's language. The uninstaller removes it by any of these names:
; it speaks the user's language of the day, which may not be the one that
; the installer spoke.
!macro ForEachUninstallShortcut Apply
  !insertmacro ${Apply} ${LANG_ENGLISH} "Uninstall Rumbelon"
  !insertmacro ${Apply} ${LANG_FRENCH} "Désinstaller Rumbelon"
  !insertmacro ${Apply} ${LANG_GERMAN} "Rumbelon deinstallieren"
  !insertmacro ${Apply} ${LANG_ITALIAN} "Disinstalla Rumbelon"
  !insertmacro ${Apply} ${LANG_SPANISH} "Desinstalar Rumbelon"
!macroend
!macro NameUninstallShortcut Language Name
  LangString UninstallShortcut ${Language} "${Name}"
!macroend
!insertmacro ForEachUninstallShortcut NameUninstallShortcut

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

; The menu reads the registered folder ("Path") and the uninstall command
; line with the ANSI registry calls into 128 bytes. So each value must take
; at most 127 bytes in the ANSI code page, and its ANSI form must read back
; as the value itself: a character that the code page lacks turns into "?",
; or by best fit into a look-alike ("L" for "Ł"), and the menu would look
; for a folder that is not there.
!define MENU_VALUE_BYTES 127
!define CP_UTF8 65001
!define WC_NO_BEST_FIT_CHARS 0x400

; Replaces the string on top of the stack with the number of bytes its ANSI
; form takes, without the terminator, or with -1 when that form does not
; read back as the same string, letter case included.
Function AnsiLength
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  ; UTF-8 holds every character, and for it Windows refuses the best-fit
  ; flag (ERROR_INVALID_FLAGS), as it refuses lpUsedDefaultChar.
  System::Call "kernel32::GetACP() i .r1"
  ${If} $1 = ${CP_UTF8}
    StrCpy $1 0
  ${Else}
    StrCpy $1 ${WC_NO_BEST_FIT_CHARS}
  ${EndIf}
  System::Call "kernel32::WideCharToMultiByte(i 0, i r1, w r0, i -1, p 0, i 0, p 0, p 0) i .r2"
  StrCpy $3 $0
  StrCpy $0 -1
  ${If} $2 > 0
    System::Alloc $2
    Pop $4
    System::Call "kernel32::WideCharToMultiByte(i 0, i r1, w r3, i -1, p r4, i r2, p 0, p 0) i .r2"
    System::Call "kernel32::MultiByteToWideChar(i 0, i 0, p r4, i -1, w .r1, i ${NSIS_MAX_STRLEN})"
    System::Free $4
    ${If} $2 > 0
    ${AndIf} $1 S== $3
      IntOp $0 $2 - 1
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the menu could read back the two values that an installation in
; $INSTDIR would register for it. If not, says why in a box (none with /S)
; and sets the error flag; otherwise clears it.
Function CheckInstallFolder
  Push $0
  Push $1
  Push "$INSTDIR"
  Call AnsiLength
  Pop $0
  Push '${UNINSTALL_COMMAND}'
  Call AnsiLength
  Pop $1
  ClearErrors
  ${If} $0 < 0
  ${OrIf} $1 < 0
    MessageBox MB_OK|MB_ICONSTOP "$(FolderCharacters)" /SD IDOK
    SetErrors
  ${ElseIf} $0 > ${MENU_VALUE_BYTES}
  ${OrIf} $1 > ${MENU_VALUE_BYTES}
    MessageBox MB_OK|MB_ICONSTOP "$(FolderTooLong)" /SD IDOK
    SetErrors
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Function FolderPageLeave
  Call CheckInstallFolder
  ${If} ${Errors}
    Abort
  ${EndIf}
FunctionEnd

Function .onInit
  !insertmacro LogThisRun
  SetShellVarContext all
  ; /S skips the folder page and its check: the folder of /D= is checked
  ; here, before anything is made.
  ${If} ${Silent}
    Call CheckInstallFolder
    ${If} ${Errors}
      SetErrorLevel ${EXIT_FOLDER_REFUSED}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro LogThisRun
  SetShellVarContext all
FunctionEnd

; Files on a disc are read-only; their copies must not be.
!macro CopyGameFile Name
  CopyFiles /SILENT "$EXEDIR\rumbelon\${Name}" "$INSTDIR\${Name}"
  SetFileAttributes "$INSTDIR\${Name}" NORMAL
!macroend

!macro DeleteGameFile Name
  Delete "$INSTDIR\${Name}"
!macroend

!macro DeleteUninstallShortcut Language Name
  Delete "${START_MENU}\${Name}.lnk"
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

  ; The shortcuts start their programs in the installation folder (the
  ; output folder of the moment); the game's shows the game's icon, the
  ; uninstaller's its own.
  CreateDirectory "${START_MENU}"
  CreateShortCut "${GAME_SHORTCUT}" "$INSTDIR\rumbelon.exe" "" "$INSTDIR\rumbelon.exe" 0
  CreateShortCut "${START_MENU}\$(UninstallShortcut).lnk" "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    Abort "$(RegisterFailed)"
  ${EndIf}

  ; What the installation takes, in KB, for "Apps & features".
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3

  ; Registered last: the menu offers to play only a complete installation.
  WriteRegStr HKLM "${APP_PATHS}" "" "$INSTDIR\rumbelon.exe"
  WriteRegStr HKLM "${APP_PATHS}" "Path" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "DisplayName" "Rumbelon"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "DisplayIcon" "$INSTDIR\rumbelon.exe"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "UninstallString" '${UNINSTALL_COMMAND}'
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "QuietUninstallString" '${UNINSTALL_COMMAND} /S'
  WriteRegDWORD HKLM "${UNINSTALL_ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_ENTRY}" "NoRepair" 1
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_ENTRY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_ENTRY}" "EstimatedSize" $1
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
  Delete "${GAME_SHORTCUT}"
  !insertmacro ForEachUninstallShortcut DeleteUninstallShortcut
  RMDir "${START_MENU}"
  DeleteRegKey HKLM "${APP_PATHS}"
  DeleteRegKey HKLM "${UNINSTALL_ENTRY}"
SectionEnd
