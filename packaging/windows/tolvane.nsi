; Tolvane's per-user installer, made by make-installer (the CMake target "installer"), which
; defines VERSION, BUILD_DIR, SOURCE_DIR, LISTS (the Sound lists it writes), OUTFILE and, to
; sign, SIGN. No administrator rights: Tolvane goes to %LOCALAPPDATA%\Programs\Tolvane, its
; entry in "Apps & features" and its optional logon entry under HKCU. Each user's settings and
; own voices live in %APPDATA%\Tolvane (package.ini tells the program so): an update keeps them,
; and so does the uninstaller.
; Silent: Tolvane-VERSION-setup.exe /S [/AUTOSTART] [/D=FOLDER]; uninstall.exe /S.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's own name for its logon entry, and the title of its hidden main window.
!define RUN_VALUE "Kestrune"
!define MAIN_WINDOW "Tolvane Ver:3.0.0.0"

!ifdef SIGN
  !finalize '"${SIGN}" "%1"'
  !uninstfinalize '"${SIGN}" "%1"'
!endif

Name "Tolvane"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tolvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tolvane ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${SOURCE_DIR}\assets\icon\tolvane.ico"
!define MUI_UNICON "${SOURCE_DIR}\assets\icon\tolvane.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tolvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "启动 Tolvane"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Tolvane"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Tolvane 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "Tolvane developers"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Tolvane developers"

Var Upgrade

; A running Tolvane holds its files: it is asked to exit first.
!macro WaitForExit un
  Function ${un}WaitForExit
    ${Do}
      FindWindow $0 "" "${MAIN_WINDOW}"
      ${IfThen} $0 = 0 ${|} ${Break} ${|}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Tolvane 正在运行。请在它的托盘菜单中选择“退出程序”，然后重试。" /SD IDCANCEL IDRETRY +2
      Abort
    ${Loop}
  FunctionEnd
!macroend
!insertmacro WaitForExit ""
!insertmacro WaitForExit "un."

Section "Tolvane" SectionProgram
  SectionIn RO
  ; What an earlier version installed goes first, by its own uninstaller, which keeps the
  ; shortcut, the entries and what the user added.
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    ExecWait '"$INSTDIR\uninstall.exe" /S /UPGRADE _?=$INSTDIR'
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\Tolvane.exe"
  File "${BUILD_DIR}\update.dll"
  File "${SOURCE_DIR}\packaging\windows\package.ini"
  !include "${LISTS}\install.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tolvane.lnk" "$INSTDIR\Tolvane.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tolvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tolvane developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tolvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The value Tolvane's own "开机启动" writes: the quoted path of the program.
Section /o "开机启动" SectionAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Tolvane.exe"'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SectionAutostart}
  ${EndIf}
  Call WaitForExit
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\Tolvane.exe"
  Delete "$INSTDIR\update.dll"
  Delete "$INSTDIR\package.ini"
  !include "${LISTS}\uninstall.nsh"
  ${If} $Upgrade != 1
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tolvane.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '"$INSTDIR\Tolvane.exe"'
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${EndIf}
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/UPGRADE" $1
  ${IfNot} ${Errors}
    StrCpy $Upgrade 1
  ${EndIf}
  Call un.WaitForExit
FunctionEnd
