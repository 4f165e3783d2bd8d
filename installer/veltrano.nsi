; Setup program of Veltrano 2.11, built by CMake (installer/CMakeLists.txt) into one
; setup program per architecture:
;   makensis -DARCH=x86|x64 -DBIN_DIR=<build>/bin -DOUT_FILE=<setup.exe> veltrano.nsi
; Optional companion files are installed when their define names the built file:
;   -DHELP_FILE=<Veltrano.Chm> -DSTAY_ALIVE_FILE=<VadiVazar.Exe> -DUPDATE_FILE=<Update.Exe>
;
; What the program expects of it: ProgramKey with LastOptim and First, the uninstall
; entry Veltrano_is1, the profile folders VLO\ and VLU\ beside Veltrano.exe, and the
; uninstaller unins000.exe there too. The entry's UninstallString is
; "<folder>\Veltrano.exe" /uninstall from the start (the program's first run writes the
; same), which restores the Windows default settings and then starts unins000.exe; that
; uninstaller asks the user as any uninstaller does. There is no QuietUninstallString:
; it would skip the defaults. An administrator may still run unins000.exe /S directly.
; The program keeps its backups of the network settings in Backup\ beside it; the
; shortcut "Restore Network Settings from before Veltrano" runs it with /restore, which
; puts back the first of them.

!ifndef ARCH | BIN_DIR | OUT_FILE
  !error "ARCH, BIN_DIR and OUT_FILE must be defined"
!endif

!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  ; ANSI, so that the setup program runs on Windows 95 to XP.
  Target x86-ansi
!else
  !error "ARCH must be x86 or x64"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Veltrano"
!define VERSION "2.11"
!define PUBLISHER "Quarn Software"
; The program opens this key as "Software\QuarnSoft\Veltrano" on Windows 95/98/Me and
; as "SOFTWARE\QuarnSoft\Veltrano" on the NT family. Registry key names compare without
; regard to case, so the one spelling used here serves both.
!define PROGRAM_KEY "SOFTWARE\QuarnSoft\Veltrano"
!define VENDOR_KEY "SOFTWARE\QuarnSoft"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Veltrano_is1"
!define UNINSTALLER "unins000.exe"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define RESTORE_SHORTCUT "Restore Network Settings from before ${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUT_FILE}"
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes into the folder of the existing installation.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PUBLISHER}"

VIProductVersion "2.11.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Veltrano.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; ---- The 20 profile files: five stems, each for the 9x family ("") and NT ("2k").

!macro ForEachProfile ACTION FOLDER EXT
  !insertmacro ${ACTION} "${FOLDER}" "modem56k.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "modem56k2k.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "modem33k.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "modem33k2k.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "lanisdn.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "lanisdn2k.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "cabledslpppoe.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "cabledslpppoe2k.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "satellite.${EXT}"
  !insertmacro ${ACTION} "${FOLDER}" "satellite2k.${EXT}"
!macroend

!macro InstallProfile FOLDER NAME
  File "/oname=${FOLDER}\${NAME}" "${BIN_DIR}/${FOLDER}/${NAME}"
!macroend

!macro RemoveProfile FOLDER NAME
  Delete "$INSTDIR\${FOLDER}\${NAME}"
!macroend

; ---- Set-up

!macro UseMachineWideSettings
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
  ; Shortcuts for every user of the machine, as the program's settings are.
  SetShellVarContext all
!macroend

!macro RequireAdministrator
  ; HKLM and the program folder need an administrator on the NT family; Windows 9x
  ; reports every user as one.
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP|MB_OK "You need administrator rights to install or remove ${PRODUCT}." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

!macro RequireSystemRuntime
  !if "${ARCH}" != "x64"
    ; The x86 programs use the system's C runtime, MSVCRT.DLL, which retail Windows 95
    ; lacks: say where it comes from and install nothing.
    ${IfNot} ${FileExists} "$SYSDIR\msvcrt.dll"
      MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} needs the file MSVCRT.DLL, which this copy of Windows does not have.$\r$\n$\r$\nPlease install Internet Explorer 4 or later (or Windows 95 OSR 2.5), then run this setup program again." /SD IDOK
      SetErrorLevel 1
      Quit
    ${EndIf}
  !endif
!macroend

Function .onInit
  !insertmacro UseMachineWideSettings
  !insertmacro RequireSystemRuntime
  !insertmacro RequireAdministrator
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/Veltrano.exe"
  !ifdef HELP_FILE
    File "/oname=Veltrano.Chm" "${HELP_FILE}"
  !endif
  !ifdef STAY_ALIVE_FILE
    File "/oname=VadiVazar.Exe" "${STAY_ALIVE_FILE}"
  !endif
  !ifdef UPDATE_FILE
    File "/oname=Update.Exe" "${UPDATE_FILE}"
  !endif
  CreateDirectory "$INSTDIR\VLO"
  CreateDirectory "$INSTDIR\VLU"
  !insertmacro ForEachProfile InstallProfile VLO vlo
  !insertmacro ForEachProfile InstallProfile VLU vlu
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; An upgrade keeps the type last applied ("1" to "7" as text): the next run undoes
  ; that optimization. Anything else (absent, a number value, "abc", "0", "8") could never
  ; be undone and would stop every later removal, so it becomes "7".
  ClearErrors
  ReadRegStr $0 HKLM "${PROGRAM_KEY}" "LastOptim"
  StrLen $1 $0
  ${If} ${Errors}
  ${OrIf} $1 != 1
  ${OrIf} $0 < 1
  ${OrIf} $0 > 7
    WriteRegStr HKLM "${PROGRAM_KEY}" "LastOptim" "7"
  ${EndIf}
  WriteRegStr HKLM "${PROGRAM_KEY}" "First" "Yes"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  ; Through the program, so that removing it restores the Windows default settings first.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Veltrano.exe" /uninstall'
  DeleteRegValue HKLM "${UNINSTALL_KEY}" "QuietUninstallString"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Veltrano.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The shortcuts start in the program folder.
  CreateDirectory "${MENU_FOLDER}"
  CreateShortCut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\Veltrano.exe"
  !ifdef HELP_FILE
    CreateShortCut "${MENU_FOLDER}\${PRODUCT} Help.lnk" "$INSTDIR\Veltrano.Chm"
  !endif
  !ifdef STAY_ALIVE_FILE
    CreateShortCut "${MENU_FOLDER}\Stay Alive.lnk" "$INSTDIR\VadiVazar.Exe"
  !endif
  !ifdef UPDATE_FILE
    CreateShortCut "${MENU_FOLDER}\Update.lnk" "$INSTDIR\Update.Exe"
  !endif
  ; Through the program, as the system's list of programs does after the first run,
  ; so that removing it restores the Windows default settings first.
  CreateShortCut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Veltrano.exe" "/uninstall" \
    "$INSTDIR\Veltrano.exe" 0
  ; Puts back the first backup the program took, the settings from before its first change.
  CreateShortCut "${MENU_FOLDER}\${RESTORE_SHORTCUT}.lnk" "$INSTDIR\Veltrano.exe" "/restore" \
    "$INSTDIR\Veltrano.exe" 0
SectionEnd

; ---- Removal: only what the set-up made. A folder still holding files of the user's
; own stays, and so does the vendor key when another program keeps a key under it.
; The program's backups in $INSTDIR\Backup are the user's own settings from before the
; program changed them: they stay, and with them the program folder (RMDir without /r),
; for the user or a later installation to restore from.

Function un.onInit
  !insertmacro UseMachineWideSettings
  !insertmacro RequireAdministrator
FunctionEnd

; Uninstall mode of the program starts this uninstaller and ends half a second later;
; give it the time to let go of its file.
Function un.DeleteProgram
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "$INSTDIR\Veltrano.exe"
    ${IfNot} ${Errors}
    ${OrIf} $1 >= 20
      ${Break}
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

Section "Uninstall"
  Call un.DeleteProgram
  !ifdef HELP_FILE
    Delete "$INSTDIR\Veltrano.Chm"
  !endif
  !ifdef STAY_ALIVE_FILE
    Delete "$INSTDIR\VadiVazar.Exe"
  !endif
  !ifdef UPDATE_FILE
    Delete "$INSTDIR\Update.Exe"
  !endif
  !insertmacro ForEachProfile RemoveProfile VLO vlo
  !insertmacro ForEachProfile RemoveProfile VLU vlu
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR\VLO"
  RMDir "$INSTDIR\VLU"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\Backup\backup-*.txt"
    DetailPrint "Kept: the backups of your network settings in $INSTDIR\Backup"
  ${EndIf}

  Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
  !ifdef HELP_FILE
    Delete "${MENU_FOLDER}\${PRODUCT} Help.lnk"
  !endif
  !ifdef STAY_ALIVE_FILE
    Delete "${MENU_FOLDER}\Stay Alive.lnk"
  !endif
  !ifdef UPDATE_FILE
    Delete "${MENU_FOLDER}\Update.lnk"
  !endif
  Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\${RESTORE_SHORTCUT}.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKLM "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
