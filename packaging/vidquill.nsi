; Vidquill's installer: a per-user installation, no administrator rights.
; Built by make_release.py with makensis -INPUTCHARSET UTF8 and
;   VERSION (1.2.3), VERSION4 (1.2.3.0), STAGE (the release's files), OUTFILE, ICON.
; Silent: setup.exe /S installs, uninstall.exe /S removes.
Unicode true
; The 64-bit stubs: the program is 64-bit, and a 32-bit installer does not
; start where no 32-bit layer is installed.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vidquill"

Name "Vidquill"
OutFile "${OUTFILE}"
; Config.ini is written beside the program, so the folder must be the user's
; own: %LOCALAPPDATA%\Programs, as per-user installers do.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Vidquill"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=2052 "ProductName" "Vidquill"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "Vidquill ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "LegalCopyright" "GNU GPL version 2 or later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vidquill.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "Vidquill"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  ; Over an older version: its files are replaced, Config.ini (the user's
  ; settings) is left alone, and notices no longer shipped go.
  RMDir /r "$INSTDIR\licenses"
  File "${STAGE}/Vidquill.exe"
  File "${STAGE}/trancor.exe"
  File "${STAGE}/LICENSE"
  File "${STAGE}/使用说明.txt"
  SetOutPath "$INSTDIR\licenses"
  File "${STAGE}/licenses/*.txt"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vidquill.lnk" "$INSTDIR\Vidquill.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vidquill"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vidquill.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Vidquill.lnk"
  Delete "$INSTDIR\Vidquill.exe"
  Delete "$INSTDIR\trancor.exe"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\使用说明.txt"
  Delete "$INSTDIR\Config.ini"
  ; The encoder runs' logs the program keeps beside Config.ini.
  RMDir /r "$INSTDIR\logs"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: whatever else the user put into the folder stays, and so does the folder then.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
