; The same job as setup.exe, done by a peer installer for comparison (make
; bench): every file of the release from the payload folder, the read-only
; ones made so, the uninstaller into the Windows folder, the same records,
; both shortcuts, and the program started; silently, with no dialog.  With
; NO_LAUNCH defined, all but the start of the program.
;   makensis -DPAYLOAD=DIR -DOUTFILE=FILE [-DNO_LAUNCH] quillmark.nsi
Unicode false
SetCompressor /SOLID zlib
SilentInstall silent
RequestExecutionLevel admin
Name "Quillmark"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Quillmark"
CRCCheck on

!define CURRENT_VERSION "Software\Microsoft\Windows\CurrentVersion"

Section
  SetOutPath "$INSTDIR"
  File /x qmkuins1.exe "${PAYLOAD}/*"
  !macro ReadOnly NAME
    SetFileAttributes "$INSTDIR\${NAME}" READONLY
  !macroend
  !insertmacro ReadOnly BlackWhite.scm
  !insertmacro ReadOnly Blue.scm
  !insertmacro ReadOnly Brown.scm
  !insertmacro ReadOnly Green.scm
  !insertmacro ReadOnly Purple.scm
  !insertmacro ReadOnly White.scm
  !insertmacro ReadOnly Feature_Loose.stp
  !insertmacro ReadOnly Feature.stp
  !insertmacro ReadOnly Feature_Tight.stp
  !insertmacro ReadOnly Play_Alternate.stp
  !insertmacro ReadOnly Play.stp
  !insertmacro ReadOnly Proof_DblSpc.stp
  !insertmacro ReadOnly Proof_Left.stp
  !insertmacro ReadOnly Proof_Right.stp
  !insertmacro ReadOnly TV-TapeLive.stp
  !insertmacro ReadOnly TV-ThreeCamera2.stp
  !insertmacro ReadOnly TV-ThreeCamera.stp
  SetOutPath "$WINDIR"
  File "${PAYLOAD}/qmkuins1.exe"

  WriteRegStr HKLM "${CURRENT_VERSION}\App Paths\Quillmark.exe" "" "$INSTDIR\Quillmark.exe"
  WriteRegStr HKLM "${CURRENT_VERSION}\App Paths\Quillmark.exe" "Path" "$INSTDIR"
  !define ENTRY "${CURRENT_VERSION}\Uninstall\Quillmark"
  WriteRegStr HKLM "${ENTRY}" "DisplayName" "Quillmark"
  WriteRegStr HKLM "${ENTRY}" "UninstallString" '"$WINDIR\qmkuins1.exe"'
  WriteRegStr HKLM "${ENTRY}" "Publisher" "Brenlow"
  WriteRegStr HKLM "${ENTRY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${ENTRY}" "DisplayIcon" "$INSTDIR\Quillmark.exe,0"
  WriteRegStr HKLM "${ENTRY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${ENTRY}" "EstimatedSize" 1800
  WriteRegDWORD HKLM "${ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${ENTRY}" "NoRepair" 1
  WriteRegStr HKCU "Software\Brenlow\Quillmark\Settings" "Path" "$INSTDIR"

  ; The shortcuts start in the folder the output goes to.
  SetOutPath "$INSTDIR"
  CreateShortCut "$STARTMENU\Quillmark.lnk" "$INSTDIR\Quillmark.exe" "" "$INSTDIR\Quillmark.exe" 0 \
    SW_SHOWNORMAL "" "Shortcut to Quillmark"
  CreateShortCut "$DESKTOP\Quillmark.lnk" "$INSTDIR\Quillmark.exe" "" "$INSTDIR\Quillmark.exe" 0 \
    SW_SHOWNORMAL "" "Shortcut to Quillmark"
  !ifndef NO_LAUNCH
    Exec '"$INSTDIR\Quillmark.exe"'
  !endif
SectionEnd
