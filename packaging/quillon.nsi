; The Windows installer: the three programs and the README in Program Files,
; a Start menu entry for Quillon, and an entry in Add/Remove Programs whose
; uninstaller removes everything the installer put there. /S installs and
; uninstalls silently; /D=FOLDER (last on the command line) chooses the
; folder.
;   makensis -DVERSION=1.0 -DBIN=<folder of the .exe files> -DREADME=<README.md>
;            -DOUTFILE=<quillon-1.0-setup.exe> quillon.nsi
; 64-bit, as the programs are.
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"

Name "Quillon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillon"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quillon"
  SetRegView 64
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${BIN}\quillon.exe"
  File "${BIN}\quillon-headless.exe"
  File "${BIN}\quillon-ctl.exe"
  File "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Quillon.lnk" "$INSTDIR\quillon.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillon"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillon developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillon.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: a folder the user added files to
; stays, with those files.
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\Quillon.lnk"
  Delete "$INSTDIR\quillon.exe"
  Delete "$INSTDIR\quillon-headless.exe"
  Delete "$INSTDIR\quillon-ctl.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
