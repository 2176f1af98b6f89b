; The Tallyvane installer, for one user and without administrator rights.
; One script for both flavours; scripts/package.sh runs it as
;   makensis -DVERSION=1.04 -DNUMBERS=1.4.0.0 -DARCH=x86|x64
;            -DBINDIR=<Tallyvane.exe, tvd.exe> -DDOCDIR=<LICENSE.txt> -DICONDIR=<app.ico>
;            -DOUTFILE=<setup.exe>
; It installs into %LOCALAPPDATA%\Programs\Tallyvane, adds a Start-menu
; shortcut, the .tvd association and the Apps & features entry, all under
; HKEY_CURRENT_USER. The uninstaller takes away exactly that: the data files
; and the settings folder under %APPDATA%\Vantorell stay.

Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include LogicLib.nsh
!include FileFunc.nsh

!define PROGID "Tallyvane.DataFile"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyvane"
!define OPEN_COMMAND '"$INSTDIR\Tallyvane.exe" "%1"'
!define SHCNE_ASSOCCHANGED 0x08000000

Name "Tallyvane ${VERSION}"
Icon "${ICONDIR}\app.ico"
UninstallIcon "${ICONDIR}\app.ico"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tallyvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
LicenseData "${DOCDIR}\LICENSE.txt"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion ${NUMBERS}
VIAddVersionKey "ProductName" "Tallyvane"
VIAddVersionKey "CompanyName" "Vantorell"
VIAddVersionKey "FileDescription" "Tallyvane ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 Vantorell"

Page license
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Windows keeps a running program's file open without write sharing (Wine
; does the same), so opening Tallyvane.exe for writing fails while it runs.
; Asks the user to close it; in silent mode, or on Cancel, gives up before
; anything was changed.
!macro DefineWaitForClose UN
Function ${UN}waitForClose
  ${IfNot} ${FileExists} "$INSTDIR\Tallyvane.exe"
    Return
  ${EndIf}
  ${Do}
    ClearErrors
    FileOpen $0 "$INSTDIR\Tallyvane.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Tallyvane is running.$\r$\n$\r$\nClose Tallyvane, then choose Retry." /SD IDCANCEL IDRETRY retry
    Abort
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro DefineWaitForClose ""
!insertmacro DefineWaitForClose "un."

; Wine reads file associations from HKEY_LOCAL_MACHINE\Software\Classes only;
; it does not merge in the user's own classes as Windows does. Under Wine the
; association therefore goes there too. $R9 is 1 under Wine.
!macro DefineCheckWine UN
Function ${UN}checkWine
  System::Call 'kernel32::GetModuleHandle(t "ntdll.dll") p .r0'
  System::Call 'kernel32::GetProcAddress(p r0, m "wine_get_version") p .r1'
  ${If} $1 P<> 0
    StrCpy $R9 1
  ${Else}
    StrCpy $R9 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DefineCheckWine ""
!insertmacro DefineCheckWine "un."

!macro WriteAssociation ROOT
  WriteRegStr ${ROOT} "Software\Classes\.tvd" "" "${PROGID}"
  WriteRegStr ${ROOT} "Software\Classes\${PROGID}" "" "Tallyvane data file"
  WriteRegStr ${ROOT} "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\Tallyvane.exe,-108"
  WriteRegStr ${ROOT} "Software\Classes\${PROGID}\shell\open\command" "" '${OPEN_COMMAND}'
!macroend

; Only what still points at this installation goes: another program may have
; taken .tvd over since, or another copy of Tallyvane the ProgID.
!macro RemoveAssociation ROOT
  ReadRegStr $0 ${ROOT} "Software\Classes\${PROGID}\shell\open\command" ""
  StrCpy $1 '${OPEN_COMMAND}'
  ${If} $0 == $1
    DeleteRegKey ${ROOT} "Software\Classes\${PROGID}"
  ${EndIf}
  ClearErrors
  ReadRegStr $0 ${ROOT} "Software\Classes\${PROGID}" ""
  ${If} ${Errors}
    ReadRegStr $0 ${ROOT} "Software\Classes\.tvd" ""
    ${If} $0 == "${PROGID}"
      DeleteRegValue ${ROOT} "Software\Classes\.tvd" ""
      DeleteRegKey /ifempty ${ROOT} "Software\Classes\.tvd"
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  Call waitForClose
FunctionEnd

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BINDIR}\Tallyvane.exe"
  File "${BINDIR}\tvd.exe"
  File "${DOCDIR}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Tallyvane.lnk" "$INSTDIR\Tallyvane.exe"

  !insertmacro WriteAssociation HKCU
  Call checkWine
  ${If} $R9 == 1
    !insertmacro WriteAssociation HKLM
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tallyvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vantorell"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tallyvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Explorer shows the new icon and verb at once.
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Function un.onInit
  Call un.waitForClose
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\Tallyvane.exe"
  Delete "$INSTDIR\tvd.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: whatever the user saved in the folder stays, and so does the folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tallyvane.lnk"

  !insertmacro RemoveAssociation HKCU
  Call un.checkWine
  ${If} $R9 == 1
    !insertmacro RemoveAssociation HKLM
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
