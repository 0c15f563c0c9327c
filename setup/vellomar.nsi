; The setup program of Vellomar Screensaver, one script for both targets. The build passes:
;   ARCH     x64 (amd64-unicode, the x86_64 program) or x86 (x86-unicode, the i686 program)
;   VERSION  the product version, e.g. 1.0.0
;   PROGRAM  the stripped vellomar.scr;  MOVIE  vellomar.lak;  PAGE  buy.htm;  ICON  the icon
;   OUTFILE  the setup program to write
; Silent use: /S, with /D=FOLDER (last, unquoted) for another install folder.
Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Vellomar Screensaver"
!define PUBLISHER "Starloom"
; Read by the saver, in the registry's 32-bit view from both setups.
!define SETTINGS_KEY "SOFTWARE\Starloom\Vellomar Screensaver"
!define VENDOR_KEY "SOFTWARE\Starloom"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellomar Screensaver"
!define DESKTOP_KEY "Control Panel\Desktop"
!define MOVIE_CONTROL_KEY "CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}\InprocServer32"
; On 64-bit Windows the 64-bit program goes to the real System32, which the screen-saver
; settings list; the 32-bit program goes to System32 of 32-bit Windows only.
!define SAVER_FILE "$SYSDIR\vellomar.scr"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "© ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!include "languages.nsh"
!insertmacro MUI_RESERVEFILE_LANGDLL

; The files of an install folder, those the saver adds included, then the folder when empty.
!macro RemoveFolderFiles FOLDER
  Delete "${FOLDER}\vellomar.lak"
  Delete "${FOLDER}\buy.htm"
  ; Written by the saver when a window fails.
  Delete "${FOLDER}\error.log"
  Delete "${FOLDER}\uninstall.exe"
  RMDir "${FOLDER}"
!macroend

; RESULT becomes 1 when the folders are one by name, or by short name when both exist (a folder
; given as C:\PROGRA~1\... is the same as its long name), else 0.
!macro IsSameFolder RESULT FIRST SECOND
  StrCpy ${RESULT} 1
  ${If} "${FIRST}" != "${SECOND}"
    GetFullPathName /SHORT $R8 "${FIRST}"
    GetFullPathName /SHORT $R9 "${SECOND}"
    ${If} $R8 == ""
    ${OrIf} $R8 != $R9
      StrCpy ${RESULT} 0
    ${EndIf}
  ${EndIf}
!macroend

; The language stored by an earlier install, when there is one, in place of the UI language's.
!macro PreselectStoredLanguage
  SetRegView 32
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "language"
  SetRegView default
  ${If} $0 != ""
    StrCpy $LANGUAGE $0
  ${EndIf}
!macroend

Function .onInit
  !if ${ARCH} == x86
    ${If} ${RunningX64}
      MessageBox MB_ICONSTOP|MB_OK "$(UseX64Setup)" /SD IDOK
      Abort
    ${EndIf}
  !endif
  ; An upgrade goes where the last install went, unless /D= names another folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    SetRegView 32
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" "path"
    SetRegView default
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
  !insertmacro PreselectStoredLanguage
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Section "${PRODUCT}" SecSaver
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=vellomar.lak" "${MOVIE}"
  File "/oname=buy.htm" "${PAGE}"
  File "/oname=${SAVER_FILE}" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; An upgrade into another folder takes the earlier folder's files with it, its uninstaller
  ; included, so that none is left to remove what belongs to this install.
  SetRegView 32
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "path"
  ${If} $0 != ""
    !insertmacro IsSameFolder $1 $0 $INSTDIR
    ${If} $1 == 0
      !insertmacro RemoveFolderFiles $0
    ${EndIf}
  ${EndIf}

  ; "music" and "mouse" belong to the settings dialog: an upgrade leaves them as they are.
  WriteRegStr HKLM "${SETTINGS_KEY}" "path" "$INSTDIR"
  WriteRegStr HKLM "${SETTINGS_KEY}" "language" "$LANGUAGE"
  SetRegView default

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecSaver} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Without a movie player control the saver cannot show its movie: say so, install all the same,
  ; fetch nothing.
  ReadRegStr $0 HKCR "${MOVIE_CONTROL_KEY}" ""
  ${If} $0 == ""
    DetailPrint "$(NoMovieControl)"
    MessageBox MB_ICONINFORMATION|MB_OK "$(NoMovieControl)" /SD IDOK
  ${EndIf}
SectionEnd

Section "$(CurrentSaver)" SecCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "${SAVER_FILE}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

Function un.onInit
  !insertmacro PreselectStoredLanguage
FunctionEnd

Section "Uninstall"
  ; An uninstaller left in a folder that is no longer the registered one removes that folder's
  ; files only: the saver, its settings and its entry belong to the install in "path".
  SetRegView 32
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "path"
  SetRegView default
  StrCpy $1 1
  ${If} $0 != ""
    !insertmacro IsSameFolder $1 $0 $INSTDIR
  ${EndIf}
  ${If} $1 == 0
    !insertmacro RemoveFolderFiles $INSTDIR
    Return
  ${EndIf}

  ; The desktop's screen saver only while it is still ours, by long or short name.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "${SAVER_FILE}"
  ${If} $0 == "${SAVER_FILE}"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  Delete /REBOOTOK "${SAVER_FILE}"
  !insertmacro RemoveFolderFiles $INSTDIR

  SetRegView 32
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
  SetRegView default
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
