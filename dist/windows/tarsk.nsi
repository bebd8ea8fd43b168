; The Windows installer: per user, without administrator rights. Installs
; the program folder into %LOCALAPPDATA%\Programs\Tarsk, marks it installed
; (so the program keeps its configuration in %APPDATA%\Tarsk, its cache in
; %LOCALAPPDATA%\Tarsk and its models in Documents\Tarsk), adds a Start-menu
; entry and makes .vox files open in Tarsk. The uninstaller removes what this
; installed and leaves the user's models and configuration, unless the user
; ticks the box that asks for them to go as well.
; makensis -DVERSION=X -DSOURCE=FOLDER -DOUTFILE=FILE tarsk.nsi
; A 64-bit installer for the 64-bit program (it runs under 64-bit Wine too).
Target amd64-unicode
RequestExecutionLevel user
Name "Tarsk ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarsk"
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!define MUI_ICON "${SOURCE}\tarsk.ico"
!define MUI_UNICON "${SOURCE}\tarsk.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarsk"

Section "Tarsk"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\tarsk.exe"
  File "${SOURCE}\tarsk.com"
  File "${SOURCE}\*.dll"
  File "${SOURCE}\tarsk.ico"
  SetOutPath "$INSTDIR\config"
  File /r "${SOURCE}\config\*"
  SetOutPath "$INSTDIR\shader"
  File /r "${SOURCE}\shader\*"
  SetOutPath "$INSTDIR\fonts"
  File /r "${SOURCE}\fonts\*"
  FileOpen $0 "$INSTDIR\installed" w
  FileWrite $0 "This folder was installed; the settings live in %APPDATA%\Tarsk.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Tarsk.lnk" "$INSTDIR\tarsk.exe"
  ; .vox: the icon, "Open with" and a double click that opens the model.
  WriteRegStr HKCU "Software\Classes\.vox" "" "Tarsk.Model"
  WriteRegStr HKCU "Software\Classes\.vox\OpenWithProgids" "Tarsk.Model" ""
  WriteRegStr HKCU "Software\Classes\Tarsk.Model" "" "Tarsk voxel model"
  WriteRegStr HKCU "Software\Classes\Tarsk.Model\DefaultIcon" "" "$INSTDIR\tarsk.exe,0"
  WriteRegStr HKCU "Software\Classes\Tarsk.Model\shell\open\command" "" '"$INSTDIR\tarsk.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\Applications\tarsk.exe\SupportedTypes" ".vox" ""
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Tarsk"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\tarsk.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "un.Tarsk" UnProgram
  SectionIn RO
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tarsk.lnk"
  RMDir /r "$INSTDIR\config"
  RMDir /r "$INSTDIR\shader"
  RMDir /r "$INSTDIR\fonts"
  Delete "$INSTDIR\tarsk.exe"
  Delete "$INSTDIR\tarsk.com"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\tarsk.ico"
  Delete "$INSTDIR\installed"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "Software\Classes\Tarsk.Model"
  DeleteRegValue HKCU "Software\Classes\.vox\OpenWithProgids" "Tarsk.Model"
  ReadRegStr $0 HKCU "Software\Classes\.vox" ""
  StrCmp $0 "Tarsk.Model" 0 +2
  DeleteRegValue HKCU "Software\Classes\.vox" ""
  DeleteRegKey HKCU "Software\Classes\Applications\tarsk.exe"
  DeleteRegKey HKCU "${UNINST_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Off unless ticked: the user's own files stay by default.
Section /o "un.My models and settings" UnUserFiles
  SetShellVarContext current
  RMDir /r "$APPDATA\Tarsk"
  RMDir /r "$LOCALAPPDATA\Tarsk"
  RMDir /r "$DOCUMENTS\Tarsk"
SectionEnd
