; The installer of Kasumiro: a per-user install (no administrator rights), a Start-menu
; shortcut, and an uninstaller listed among the installed programs that removes what was
; installed and nothing else: never the user's data folder, never an output folder.
;
;   makensis -DVERSION=1.1.7 -DSTAGE=<folder of the files> -DOUTFILE=<setup.exe> kasumiro.nsi
;
; /S installs (and the uninstaller uninstalls) without a window.

; A 64-bit installer for 64-bit programs.
Target amd64-unicode
!include "MUI2.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef STAGE
  !error "STAGE is not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined"
!endif

!define PRODUCT "Kasumiro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 The Kasumiro developers"

!define MUI_ICON "${STAGE}\..\kasumiro.ico"
!define MUI_UNICON "${STAGE}\..\kasumiro.ico"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Kasumiro.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Kasumiro"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\Kasumiro.exe"
  File "${STAGE}\kasumiro-cli.exe"
  File "${STAGE}\*.dll"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  File "${STAGE}\menu_image.bmp"
  File "${STAGE}\guide-ja.html"
  SetOutPath "$INSTDIR\licences"
  File "${STAGE}\licences\*.*"
  SetOutPath "$INSTDIR\guide-images"
  File "${STAGE}\guide-images\*.png"
  SetOutPath "$INSTDIR\Template\0001"
  File "${STAGE}\Template\0001\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Kasumiro.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kasumiro developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kasumiro.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there, file by file: a folder the user kept something in stays.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Kasumiro.exe"
  Delete "$INSTDIR\kasumiro-cli.exe"
  Delete "$INSTDIR\libjpeg-62.dll"
  Delete "$INSTDIR\libde265.dll"
  Delete "$INSTDIR\libdav1d.dll"
  Delete "$INSTDIR\libheif.dll"
  Delete "$INSTDIR\avformat-59.dll"
  Delete "$INSTDIR\avcodec-59.dll"
  Delete "$INSTDIR\avutil-57.dll"
  Delete "$INSTDIR\swscale-6.dll"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\licences\*.*"
  RMDir "$INSTDIR\licences"
  Delete "$INSTDIR\menu_image.bmp"
  Delete "$INSTDIR\guide-ja.html"
  Delete "$INSTDIR\guide-images\*.png"
  RMDir "$INSTDIR\guide-images"
  ; The album's template and the guide's pictures are folders of ours alone.
  Delete "$INSTDIR\Template\0001\*.*"
  RMDir "$INSTDIR\Template\0001"
  RMDir "$INSTDIR\Template"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
