; The Windows installer of Tonalis, per machine: TNP.cpl and tonalis.exe in
; Program Files\Tonalis (x86 on 64-bit Windows), the Control Panel's Cpls value
; in the 32-bit view only, one logon entry that starts the keeper for every
; user, and an entry in Programs and Features. /S installs and uninstalls
; silently. makensis -DBUILD_DIR=<MinGW build folder> -DOUTPUT=<setup.exe>
; -DVERSION=<x.y.z> -DUPGRADE_CODE=<the MSI's UpgradeCode> tonalis.nsi
Unicode true
!include LogicLib.nsh
!include x64.nsh

!ifndef BUILD_DIR | OUTPUT | VERSION | UPGRADE_CODE
!error "define BUILD_DIR, OUTPUT, VERSION and UPGRADE_CODE"
!endif

!define PRODUCT "Tonalis"
!define CPLS_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTPUT}"
; A 32-bit installer: Program Files (x86) on 64-bit Windows, the registry's
; 32-bit view, where the Control Panel looks for 32-bit applets.
InstallDir "$PROGRAMFILES\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Writing Program Files and HKEY_LOCAL_MACHINE needs an administrator.
!macro RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "安装 Tonalis 需要系统管理员权限。" /SD IDOK
        SetErrorLevel 740
        Quit
    ${EndIf}
!macroend

; Before 1.0 the applet lived in the system folder, with a Cpls value in both
; registry views; a copy left there would be listed a second time.
!macro RemoveOldLayout
    Delete /REBOOTOK "$SYSDIR\TNP.cpl"
    ${If} ${RunningX64}
        Delete /REBOOTOK "$WINDIR\SysWOW64\TNP.cpl"
        SetRegView 64
        DeleteRegValue HKLM "${CPLS_KEY}" "${PRODUCT}"
        SetRegView 32
    ${EndIf}
!macroend

; The per-user Run values that older versions wrote for an installed copy, in
; every hive loaded now: the per-machine entry replaces them, and once the
; files are gone they would fail at every logon. A copy that was not
; installed keeps its own.
!macro DefineRemoveUserRunValues PREFIX
; $R0 holds $R1 anywhere, ignoring case: $R2 is 1, else 0.
Function ${PREFIX}Contains
    StrLen $R3 $R1
    StrCpy $R4 0
    StrCpy $R2 0
    ${Do}
        StrCpy $R5 $R0 $R3 $R4
        ${IfThen} $R5 == "" ${|} ${ExitDo} ${|}
        ${If} $R5 == $R1
            StrCpy $R2 1
            ${ExitDo}
        ${EndIf}
        IntOp $R4 $R4 + 1
    ${Loop}
FunctionEnd

Function ${PREFIX}RemoveUserRunValues
    StrCpy $0 0
    ${Do}
        EnumRegKey $1 HKU "" $0
        ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
        IntOp $0 $0 + 1
        ReadRegStr $R0 HKU "$1\${RUN_KEY}" "${PRODUCT}"
        ${IfThen} $R0 == "" ${|} ${Continue} ${|}
        ; TNP.cpl or tonalis.exe installed here, or the system folder's TNP.cpl.
        ${ForEach} $2 0 2 + 1
            ${Select} $2
            ${Case} 0
                StrCpy $R1 "$INSTDIR\"
            ${Case} 1
                StrCpy $R1 "$SYSDIR\TNP.cpl"
            ${Case} 2
                StrCpy $R1 "$WINDIR\SysWOW64\TNP.cpl"
            ${EndSelect}
            Call ${PREFIX}Contains
            ${If} $R2 == 1
                DeleteRegValue HKU "$1\${RUN_KEY}" "${PRODUCT}"
                ${ExitFor}
            ${EndIf}
        ${Next}
    ${Loop}
FunctionEnd
!macroend
!insertmacro DefineRemoveUserRunValues ""
!insertmacro DefineRemoveUserRunValues "un."

Function .onInit
    !insertmacro RequireAdministrator
    ; The MSI installs into the same place: one of the two at a time.
    System::Call 'msi::MsiEnumRelatedProductsW(w "{${UPGRADE_CODE}}", i 0, i 0, w .r1) i .r0'
    ${If} $0 == 0
        MessageBox MB_OK|MB_ICONSTOP "Tonalis 已由 MSI 安装包安装，请先将其卸载。" /SD IDOK
        SetErrorLevel 1638
        Quit
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro RequireAdministrator
FunctionEnd

Section "Tonalis"
    ; A running keeper holds TNP.cpl open; it starts again at the next logon.
    IfFileExists "$INSTDIR\tonalis.exe" 0 +2
        ExecWait '"$INSTDIR\tonalis.exe" keep --stop'
    !insertmacro RemoveOldLayout
    SetOutPath "$INSTDIR"
    File "${BUILD_DIR}/TNP.cpl"
    File "${BUILD_DIR}/tonalis.exe"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${CPLS_KEY}" "${PRODUCT}" "$INSTDIR\TNP.cpl"
    ; The keeper, for every user: it keeps the monitors whose logon box the user
    ; ticked, and exits at once for one who wants nothing kept. The 32-bit
    ; rundll32.exe: on 64-bit Windows the logon would run the bare name as the
    ; 64-bit one, which cannot load TNP.cpl.
    StrCpy $0 "$SYSDIR\rundll32.exe"
    ${If} ${RunningX64}
        StrCpy $0 "$WINDIR\SysWOW64\rundll32.exe"
    ${EndIf}
    WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$0" "$INSTDIR\TNP.cpl",TNLKeepCalibration --logon'
    Call RemoveUserRunValues

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TNP.cpl,0"
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
    Call un.RemoveUserRunValues
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    DeleteRegValue HKLM "${CPLS_KEY}" "${PRODUCT}"
    !insertmacro RemoveOldLayout
    ; An open applet holds TNP.cpl: it goes at the next restart, and the folder
    ; after it.
    Delete /REBOOTOK "$INSTDIR\TNP.cpl"
    Delete /REBOOTOK "$INSTDIR\tonalis.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
