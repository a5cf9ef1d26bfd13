; The Windows installer of Tonalis: TNP.cpl into the system folder (the
; 32-bit one on 64-bit Windows, where a 32-bit applet must live),
; tonalis.exe into Program Files\Tonalis, the Control Panel's registration
; and an entry in Programs and Features. /S installs and uninstalls silently.
; makensis -DBUILD_DIR=<MinGW build folder> -DOUTPUT=<setup.exe> tonalis.nsi
Unicode true
!include LogicLib.nsh
!include x64.nsh

!ifndef BUILD_DIR | OUTPUT
!error "define BUILD_DIR and OUTPUT"
!endif

!define PRODUCT "Tonalis"
!define CPLS_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTPUT}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var CplPath

; The applet's path as the Control Panel must find it. A 32-bit installer
; writing to the system folder on 64-bit Windows lands in SysWOW64.
!macro FindCplPath
    ${If} ${RunningX64}
        StrCpy $CplPath "$WINDIR\SysWOW64\TNP.cpl"
    ${Else}
        StrCpy $CplPath "$SYSDIR\TNP.cpl"
    ${EndIf}
!macroend

; Writing the system folder and HKEY_LOCAL_MACHINE needs an administrator.
!macro RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "安装 Tonalis 需要系统管理员权限。" /SD IDOK
        SetErrorLevel 740
        Quit
    ${EndIf}
!macroend

Function .onInit
    !insertmacro RequireAdministrator
    !insertmacro FindCplPath
FunctionEnd

Function un.onInit
    !insertmacro RequireAdministrator
    !insertmacro FindCplPath
FunctionEnd

Section "Tonalis"
    ; A running keeper holds TNP.cpl open; it starts again at the next logon.
    IfFileExists "$INSTDIR\tonalis.exe" 0 +2
        ExecWait '"$INSTDIR\tonalis.exe" keep --stop'
    SetOutPath "$SYSDIR"
    File "${BUILD_DIR}/TNP.cpl"
    SetOutPath "$INSTDIR"
    File "${BUILD_DIR}/tonalis.exe"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; Both registry views, so that the 64-bit Control Panel lists it too.
    WriteRegStr HKLM "${CPLS_KEY}" "${PRODUCT}" "$CplPath"
    ${If} ${RunningX64}
        SetRegView 64
        WriteRegStr HKLM "${CPLS_KEY}" "${PRODUCT}" "$CplPath"
        SetRegView 32
    ${EndIf}

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$CplPath,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Profiles in the colour directory and the remembered settings stay.
Section "Uninstall"
    ; A running keeper holds TNP.cpl open.
    ExecWait '"$INSTDIR\tonalis.exe" keep --stop'
    Delete /REBOOTOK "$CplPath"
    Delete "$INSTDIR\tonalis.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    DeleteRegValue HKLM "${CPLS_KEY}" "${PRODUCT}"
    ${If} ${RunningX64}
        SetRegView 64
        DeleteRegValue HKLM "${CPLS_KEY}" "${PRODUCT}"
        SetRegView 32
    ${EndIf}
    ; The logon loader the applet or tonalis.exe wrote names files now gone.
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
