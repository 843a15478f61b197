; The Windows installer, made by scripts/windows.sh with NSIS:
;   makensis -DVERSION=<version> -DPROGRAMME=<staged program folder> -DICONE=<.ico>
;            -DFICHIERS=<File lines> -DSUPPRESSIONS=<Delete lines> -DSORTIE=<setup.exe> QEZ_Challenge_KVRT.nsi
; It installs the program folder (executable, Qt's DLLs and plugins, the mingw runtime, the
; template, the manual, the licences), a Start-menu entry and an uninstaller in the system's
; list. The uninstaller removes exactly the files installed: the logs, journals and exports a
; user keeps in the program folder stay there, with the folder, and the settings in his own
; folder are never touched. "/S" installs and uninstalls silently.

; A 64-bit installer: the program is 64-bit, and so is the wine that tests it.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "x64.nsh"

!define NOM "QEZ_Challenge_KVRT"
!define CLE_DESINSTALLATION "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NOM}"

Name "${NOM} ${VERSION}"
OutFile "${SORTIE}"
Icon "${ICONE}"
UninstallIcon "${ICONE}"
InstallDir "$PROGRAMFILES64\${NOM}"
InstallDirRegKey HKLM "${CLE_DESINSTALLATION}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "${NOM} ${VERSION}"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\French.nlf"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "${NOM} demande une version 64 bits de Windows." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Programme"
    SetOutPath "$INSTDIR"
    !include "${FICHIERS}"
    WriteUninstaller "$INSTDIR\Desinstaller.exe"

    ; The Start menu of every user, the program's icon being the executable's own.
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${NOM}.lnk" "$INSTDIR\${NOM}.exe" "" "$INSTDIR\${NOM}.exe" 0

    WriteRegStr HKLM "${CLE_DESINSTALLATION}" "DisplayName" "${NOM}"
    WriteRegStr HKLM "${CLE_DESINSTALLATION}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${CLE_DESINSTALLATION}" "DisplayIcon" "$INSTDIR\${NOM}.exe"
    WriteRegStr HKLM "${CLE_DESINSTALLATION}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${CLE_DESINSTALLATION}" "UninstallString" '"$INSTDIR\Desinstaller.exe"'
    WriteRegStr HKLM "${CLE_DESINSTALLATION}" "QuietUninstallString" '"$INSTDIR\Desinstaller.exe" /S'
    WriteRegDWORD HKLM "${CLE_DESINSTALLATION}" "NoModify" 1
    WriteRegDWORD HKLM "${CLE_DESINSTALLATION}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; The installed files one by one, never a whole folder: what the user made stays.
    !include "${SUPPRESSIONS}"
    Delete "$INSTDIR\Desinstaller.exe"
    ; Removed only when empty, that is when no log was kept in it.
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${NOM}.lnk"
    DeleteRegKey HKLM "${CLE_DESINSTALLATION}"
SectionEnd
