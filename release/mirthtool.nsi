; MirthTool's installer: a per-user install into the user's programs folder,
; a Start-menu shortcut and an uninstaller listed in Apps & Features.
; makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSTAGE=<folder> -DOUTFILE=<setup.exe> -DICON=<.ico>
; A 64-bit installer: it runs wherever the 64-bit program does.
Target amd64-unicode
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MirthTool"

Name "MirthTool ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\MirthTool"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "MirthTool"
VIAddVersionKey /LANG=1041 "FileDescription" "MirthTool セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 MirthTool の開発者 (MIT ライセンス)"
VIAddVersionKey /LANG=1033 "ProductName" "MirthTool"
VIAddVersionKey /LANG=1033 "FileDescription" "MirthTool setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 the MirthTool developers (MIT License)"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\MirthTool.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(SettingsStay)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString ShortcutText ${LANG_JAPANESE} "メールを Microsoft Chat の漫画にします"
LangString ShortcutText ${LANG_ENGLISH} "Turns a mail into a Microsoft Chat comic strip"
LangString SettingsStay ${LANG_JAPANESE} "MirthTool を削除します。設定 (レジストリの HKEY_CURRENT_USER\Software\Orrindale\MirthZud) は削除せずに残します。"
LangString SettingsStay ${LANG_ENGLISH} "MirthTool will be removed. Your settings (in the registry under HKEY_CURRENT_USER\Software\Orrindale\MirthZud) are kept."
LangString SettingsKept ${LANG_JAPANESE} "設定 (HKEY_CURRENT_USER\Software\Orrindale\MirthZud) は残してあります。不要な場合はレジストリ エディターでこのキーを削除してください。"
LangString SettingsKept ${LANG_ENGLISH} "Your settings (HKEY_CURRENT_USER\Software\Orrindale\MirthZud) were kept. Delete that key with the Registry Editor if you no longer need them."

Function .onInit
    !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
    !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "MirthTool"
    SetShellVarContext current
    ; The output folder is also the shortcut's working folder, where the
    ; program finds its help page.
    SetOutPath "$INSTDIR"
    File "${STAGE}\MirthTool.exe"
    File "${STAGE}\MirthStrip.exe"
    File "${STAGE}\MirthMapi64.exe"
    File "${STAGE}\MirthMapi32.exe"
    File "${STAGE}\MirthZud.htm"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\MirthTool.lnk" "$INSTDIR\MirthTool.exe" "" "$INSTDIR\MirthTool.exe" 0 \
        SW_SHOWNORMAL "" "$(ShortcutText)"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "MirthTool"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "MirthTool"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\MirthTool.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly what the installer put down. The folder goes only if it is
; empty then (a conversation file written there stays), and the settings key
; stays.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\MirthTool.exe"
    Delete "$INSTDIR\MirthStrip.exe"
    Delete "$INSTDIR\MirthMapi64.exe"
    Delete "$INSTDIR\MirthMapi32.exe"
    Delete "$INSTDIR\MirthZud.htm"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\MirthTool.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DetailPrint "$(SettingsKept)"
    MessageBox MB_OK|MB_ICONINFORMATION "$(SettingsKept)" /SD IDOK
SectionEnd
