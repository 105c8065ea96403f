; The installer pilots run: one setup program for 64-bit and 32-bit Windows that installs the
; programs of the computer's kind for the user who runs it, without administrator rights, into
; that user's own programs folder, with Start menu entries and an entry under "Apps" to remove
; it. Removing it leaves the pilot's settings, logs, logbook and waiting airline reports alone.
; /S installs (and removes) without a window, for airlines that install it with a script.
;
; Made by scripts/make-installer, which defines:
;   PRODUCT_NSH       the build's product.nsh (name, version, publisher, icon, running copy)
;   STAGE64, STAGE32  the 64-bit and the 32-bit package's files
;   SIZE64, SIZE32    their size in KiB, for the "Apps" entry
;   INSTALLED_FILES   the uninstaller's list of the files and folders the packages hold
;   OUTFILE           the setup program to write

Unicode true
!include "${PRODUCT_NSH}"
!include "${INSTALLED_FILES}"
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
!define UNINSTALLER "Uninstall.exe"
!define START_MENU_FOLDER "$SMPROGRAMS\${PRODUCT_NAME}"
; The exit code of a run that found Aerolinker still running at the end and changed nothing.
!define EXIT_STILL_RUNNING 2
; How long a silent run, and each try of the pilot's, waits for a running copy to close.
!define CLOSE_WAIT_MS 30000
!define CLOSE_POLL_MS 500
!define SYNCHRONIZE 0x00100000
; The trial flight, fsim.exe (src/sim/win32): the mutex it holds while it runs, the class and
; the start of the title of its window (the simulator's class, which Flight Simulator's own
; window has too, so the title tells them apart), and its scenario chooser's class.
!define FSIM_MUTEX "Aerolinker fsim serving UIPCMAIN"
!define FSIM_WINDOW_CLASS "UIPCMAIN"
!define FSIM_TITLE "Substitute simulator - "
!define FSIM_CHOOSER_CLASS "FsimChooser"

Name "${PRODUCT_NAME} ${PRODUCT_VERSION}"
OutFile "${OUTFILE}"
; The user's own rights: the manifest asks for no elevation, and everything written is the
; user's (the programs folder under the local application data, the user's registry).
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT_NAME}"
; An update goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT_NAME} ${PRODUCT_VERSION}"

VIProductVersion "${PRODUCT_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PRODUCT_PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT_PUBLISHER}"

!define MUI_ICON "${PRODUCT_ICON}"
!define MUI_UNICON "${PRODUCT_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\aerolinker.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\docs\pilot-guide.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the pilot guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define KEPT_TEXT "Your settings ($APPDATA\${PRODUCT_NAME}), your logs and logbook in your \
    flights folder, and any reports still waiting for your airline are kept where they are."
!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT_NAME} will be removed from $INSTDIR. ${KEPT_TEXT}"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A running copy holds the single-instance mutex for as long as it runs. Before files are
; replaced or removed it is asked to close, as its window's close button asks it (during a
; tracked flight it asks the pilot first), and given time to. The pilot may try again or give
; up; a silent run gives up after one wait. Giving up quits with EXIT_STILL_RUNNING before
; anything was changed. The trial flight (fsim.exe) is closed the same way, after Aerolinker.
; Defined once for the installer and once, prefixed "un.", for the uninstaller.
!macro RUNNING_COPY_FUNCTIONS prefix
    ; $0 = 1 while the mutex named $R0 is held (the program holding it runs), else 0.
    Function ${prefix}FindRunningCopy
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w R0) p .r0'
        ${If} $0 P<> 0
            System::Call 'kernel32::CloseHandle(p r0)'
            StrCpy $0 1
        ${Else}
            StrCpy $0 0
        ${EndIf}
    FunctionEnd

    ; $0 = 0 once no copy holds $R0, 1 when one still does after CLOSE_WAIT_MS.
    Function ${prefix}WaitForRunningCopy
        StrCpy $1 0
        ${Do}
            Call ${prefix}FindRunningCopy
            ${If} $0 = 0
            ${OrIf} $1 >= ${CLOSE_WAIT_MS}
                ${ExitDo}
            ${EndIf}
            Sleep ${CLOSE_POLL_MS}
            IntOp $1 $1 + ${CLOSE_POLL_MS}
        ${Loop}
    FunctionEnd

    Function ${prefix}CloseRunningCopy
        StrCpy $R0 "${INSTANCE_MUTEX}"
        Call ${prefix}FindRunningCopy
        ${IfThen} $0 = 0 ${|} Return ${|}
        MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT_NAME} is running and must close \
            first.$\n$\nOK asks it to close (during a flight it asks you before). Cancel \
            leaves it running and changes nothing." /SD IDOK IDOK close
        Goto give_up
      close:
        ; Posted, not sent: the program answers only once the pilot has answered its question.
        FindWindow $1 "${MAIN_WINDOW_CLASS}"
        ${If} $1 P<> 0
            System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0)'
        ${EndIf}
      wait:
        Call ${prefix}WaitForRunningCopy
        ${IfThen} $0 = 0 ${|} Return ${|}
        ${IfNot} ${Silent}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT_NAME} is still running. \
                Close it (and answer its question if it asks one), then click Retry." \
                IDRETRY wait
        ${EndIf}
      give_up:
        SetErrorLevel ${EXIT_STILL_RUNNING}
        Quit
    FunctionEnd

    ; The trial flight closes at once when asked: its simulator window, or its chooser.
    Function ${prefix}CloseTrialFlight
        StrCpy $R0 "${FSIM_MUTEX}"
        Call ${prefix}FindRunningCopy
        ${IfThen} $0 = 0 ${|} Return ${|}
        MessageBox MB_OKCANCEL|MB_ICONINFORMATION "The ${PRODUCT_NAME} trial flight (fsim) is \
            running and must close first.$\n$\nOK closes it. Cancel leaves it running and \
            changes nothing." /SD IDOK IDOK close
        Goto give_up
      close:
        StrCpy $1 0
        ${Do}
            System::Call 'user32::FindWindowExW(p 0, p r1, w "${FSIM_WINDOW_CLASS}", p 0) p .r1'
            ${IfThen} $1 P= 0 ${|} ${ExitDo} ${|}
            System::Call 'user32::GetWindowTextW(p r1, w .r2, i ${NSIS_MAX_STRLEN})'
            StrLen $3 "${FSIM_TITLE}"
            StrCpy $2 $2 $3
            ${If} $2 == "${FSIM_TITLE}"
                System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0)'
            ${EndIf}
        ${Loop}
        FindWindow $1 "${FSIM_CHOOSER_CLASS}"
        ${If} $1 P<> 0
            System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0)'
        ${EndIf}
      wait:
        Call ${prefix}WaitForRunningCopy
        ${IfThen} $0 = 0 ${|} Return ${|}
        ${IfNot} ${Silent}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "The ${PRODUCT_NAME} trial flight \
                (fsim) is still running. Close it, then click Retry." IDRETRY wait
        ${EndIf}
      give_up:
        SetErrorLevel ${EXIT_STILL_RUNNING}
        Quit
    FunctionEnd
!macroend
!insertmacro RUNNING_COPY_FUNCTIONS ""
!insertmacro RUNNING_COPY_FUNCTIONS "un."

Function .onInit
    SetShellVarContext current
    Call CloseRunningCopy
    Call CloseTrialFlight
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File /r "${STAGE64}/*"
        StrCpy $2 ${SIZE64}
    ${Else}
        File /r "${STAGE32}/*"
        StrCpy $2 ${SIZE32}
    ${EndIf}
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; Started from the program's folder, as from the zip: fsim lists the scenarios beside it.
    CreateDirectory "${START_MENU_FOLDER}"
    CreateShortcut "${START_MENU_FOLDER}\${PRODUCT_NAME}.lnk" "$INSTDIR\aerolinker.exe" "" \
        "$INSTDIR\aerolinker.exe" 0 SW_SHOWNORMAL "" "${PRODUCT_SUMMARY}"
    CreateShortcut "${START_MENU_FOLDER}\${PRODUCT_NAME} trial flight.lnk" "$INSTDIR\fsim.exe" \
        "" "$INSTDIR\fsim.exe" 0 SW_SHOWNORMAL "" \
        "Try ${PRODUCT_NAME} without Flight Simulator: fsim plays a recorded flight"
    CreateShortcut "${START_MENU_FOLDER}\${PRODUCT_NAME} pilot guide.lnk" \
        "$INSTDIR\docs\pilot-guide.html"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT_PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\aerolinker.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetShellVarContext current
    Call un.CloseRunningCopy
    Call un.CloseTrialFlight
FunctionEnd

; File by file, and folders only once empty: a pilot who keeps logs, a logbook or an airline's
; outbox inside the program's folder keeps them, and the folder with them.
Section "Uninstall"
    !insertmacro REMOVE_INSTALLED_FILES
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"

    Delete "${START_MENU_FOLDER}\${PRODUCT_NAME}.lnk"
    Delete "${START_MENU_FOLDER}\${PRODUCT_NAME} trial flight.lnk"
    Delete "${START_MENU_FOLDER}\${PRODUCT_NAME} pilot guide.lnk"
    RMDir "${START_MENU_FOLDER}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DetailPrint "${KEPT_TEXT}"
SectionEnd
