#!/usr/bin/env bash
# GUI tests of aerolinker.exe, used as a pilot uses it: the program runs under Wine on a
# display of the test's own (Xvfb), xdotool moves the mouse, clicks and types, and the probe
# (aerolinker-probe.exe) reads back what the window shows. One case per run:
#
#   gui_test.sh first-start | no-server | flight | resume | lost-link | sim-restart | no-plan |
#               save-generated | save-failure | second-copy | pilot-form | save-refused |
#               keyboard | window-places | fsim-chooser | landing-look | airline-form |
#               airline-flight
#
# The programs come from the environment: AEROLINKER_EXE, PROBE_EXE, FSIM_EXE, CONSOLE_EXE,
# SCENARIO_DIR (the bundled scenarios), TEST_SOURCE_DIR (this folder), AIRLINE_SERVER (the
# substitute airline server, for the cases that need one) and ARTIFACTS (where each case keeps
# its files and screenshots); AEROLINKER_WINEARCH is win32 for the 32-bit
# programs. The Wine prefix is the GUI tests' own, so the configuration file in its Windows
# folder and its running programs belong to this test alone; a lock on it keeps two cases from
# running at once. One more case, standard-user, flies with a standard user's rights; it needs
# root for its mounts. A case that cannot run here exits with 77, after saying why.
set -uo pipefail

case_name=${1:?usage: gui_test.sh CASE}
for variable in AEROLINKER_EXE PROBE_EXE FSIM_EXE CONSOLE_EXE SCENARIO_DIR TEST_SOURCE_DIR \
    ARTIFACTS; do
    if [ -z "${!variable:-}" ]; then
        echo "gui_test: $variable is not set" >&2
        exit 2
    fi
done

# shellcheck source=scripts/wine-prefix.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../../../scripts/wine-prefix.sh"
wine_prefix_select "${AEROLINKER_WINEARCH:-win64}" \
    "${AEROLINKER_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/aerolinker/wine-gui}" || exit 2
prefix=$WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
work="$ARTIFACTS/$case_name"
windows_folder="$prefix/drive_c/windows"
# The settings are the user's own (%APPDATA%\Aerolinker); logs go to Documents\Aerolinker when
# no folder is chosen.
user_folder="$prefix/drive_c/users/$(id -un)"
settings_folder="$user_folder/AppData/Roaming/Aerolinker"
config="$settings_folder/Aerolinker.ini"
default_logs="$user_folder/Documents/Aerolinker"

skip() {
    echo "SKIP [$case_name]: $*"
    exit 77
}

# A standard user's rights need mounts (root ignores file modes, not a read-only mount). They
# are made in a mount namespace of the case's own, so they go with it however it ends.
if [ "$case_name" = standard-user ] && [ -z "${GUI_TEST_OWN_MOUNTS:-}" ]; then
    [ "$(id -u)" -eq 0 ] || skip "only root can mount the Windows folder read-only"
    unshare --mount true 2>/dev/null || skip "mount namespaces are not permitted here"
    GUI_TEST_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi

rm -rf "$work"
mkdir -p "$work" "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

xvfb_pid=
airline_pid=
own_mounts=()
cleanup() {
    wineserver -k >/dev/null 2>&1
    if [ -n "$airline_pid" ]; then
        kill "$airline_pid" 2>/dev/null
        wait "$airline_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    local i
    if [ ${#own_mounts[@]} -gt 0 ]; then
        wineserver -w >/dev/null 2>&1
        for ((i = ${#own_mounts[@]} - 1; i >= 0; i--)); do
            umount "${own_mounts[i]}"
        done
    fi
}
trap cleanup EXIT

fail() {
    echo "FAIL [$case_name]: $*" >&2
    screenshot "failure"
    exit 1
}

pass_note() { echo "ok [$case_name]: $*"; }

# A display of our own: Xvfb picks a free number itself and tells it on a descriptor.
start_display() {
    local numberFile="$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if [ -s "$numberFile" ]; then
            DISPLAY=":$(head -n1 "$numberFile")"
            export DISPLAY
            return 0
        fi
        sleep 0.1
    done
    echo "gui_test: Xvfb did not start" >&2
    exit 1
}

# The prefix is made once and kept (made anew when the installed Wine changes): Wine draws the
# window frames itself (there is no window manager) and finds its own fonts for captions and
# dialogs.
set_up_prefix() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
        >/dev/null 2>&1
    cp /usr/share/wine/fonts/* "$windows_folder/Fonts/" 2>/dev/null
    wineserver -w
}

prepare_prefix() {
    wine_prefix_ensure set_up_prefix || exit 1
    # Whatever an interrupted earlier run left running in the prefix goes now.
    wineserver -k >/dev/null 2>&1
    # Documents is a folder of the profile, as on Windows, not Wine's link to the home folder:
    # the 64-bit and the 32-bit cases, side by side, each clear their own.
    if [ -L "$user_folder/Documents" ]; then
        rm "$user_folder/Documents"
    fi
    mkdir -p "$user_folder/Documents"
    rm -rf "$settings_folder" "$windows_folder/Aerolinker.ini" "$default_logs" \
        "$user_folder/AppData/Local/VirtualStore"
    mkdir -p "$settings_folder"
}

# A Linux path as the programs under Wine name it (drive Z: is the root folder).
winpath() {
    local path
    path=$(readlink -f "$1")
    echo "Z:${path//\//\\}"
}

probe() {
    local output status
    output=$(wine "$PROBE_EXE" "$@" 2>/dev/null)
    status=$?
    printf '%s' "$output" | tr -d '\r'
    return $status
}

# Runs a check until it succeeds or the time is up.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ]; then
            return 1
        fi
        sleep 0.5
    done
}

probe_equals() {
    local expected=$1
    shift
    [ "$(probe "$@")" = "$expected" ]
}

probe_greater() {
    local what=$1 than=$2 value
    value=$(probe "$what") && [ "$value" -gt "$than" ]
}

no_dialog() { ! probe dialog >/dev/null; }

file_contains() { [ -f "$1" ] && grep -qF -- "$2" "$1"; }

expect_probe() {
    local what=$1 expected=$2
    shift 2
    local actual
    actual=$(probe "$@")
    [ "$actual" = "$expected" ] || fail "$what: expected \"$expected\", saw \"$actual\""
    pass_note "$what: \"$actual\""
}

screenshot() {
    if [ -n "${DISPLAY:-}" ]; then
        import -window root "$work/$1.png" 2>/dev/null
    fi
}

# A screenshot of one window only, found by its class.
window_screenshot() {
    local name=$1 class=$2 rect left top width height
    rect=$(probe rect "$class") || return 1
    read -r left top width height <<<"$rect"
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$work/$name.png" \
        2>/dev/null
}

start_program() {
    wine "$AEROLINKER_EXE" >>"$work/aerolinker-output.txt" 2>&1 &
    program_pid=$!
    wait_until 60 probe_grep_caption || fail "the main window did not appear"
}
probe_grep_caption() { probe caption | grep -qF " --- (Pilot Name) "; }

# Ends the program the way a pilot does, with Alt+F4 on its window.
close_program() {
    click_control "$ID_MEMO"
    xdotool key alt+F4
    wait_for_exit "$program_pid" 20 || fail "the program did not end when its window closed"
}

# The same during a tracked flight: the program asks first, and the pilot answers Yes.
close_program_in_flight() {
    click_control "$ID_MEMO"
    xdotool key alt+F4
    wait_until 10 probe dialog || fail "closing during a tracked flight asked nothing"
    local question
    question=$(probe dialog)
    grep -qxF "A flight is being tracked. Close Aerolinker? The flight can be resumed from its last saved situation." \
        <<<"$question" || fail "the question at closing shows \"$question\""
    pass_note "asked at closing: $(tail -n 1 <<<"$question")"
    window_screenshot close-in-flight "#32770"
    click_dialog_button "&Yes"
    wait_for_exit "$program_pid" 20 || fail "the program did not end on Yes"
}

# The configuration file without the window places, which every closing writes.
settings_of() {
    tr -d '\r' <"$1" 2>/dev/null | awk '/^\[/ { places = ($0 == "[WindowPlaces]") } !places && NF'
}

wait_for_exit() {
    local pid=$1 seconds=$2
    local deadline=$((SECONDS + seconds))
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.5
    done
    wait "$pid" 2>/dev/null
    return 0
}

# Clicks at a point given as "X Y", the way probe prints one.
click_at() {
    local x y
    read -r x y <<<"$1"
    xdotool mousemove --sync "$x" "$y"
    sleep 0.2
    xdotool click 1
    sleep 0.3
}

click_control() {
    local centre
    centre=$(probe centre "$1") || fail "no control $1 on screen"
    click_at "$centre"
}

click_dialog_button() {
    local centre
    centre=$(probe dialog-button "$1") || fail "no \"$1\" button in the dialog"
    click_at "$centre"
}

# A configuration file as the pilot form would have left it.
write_config() {
    printf '[Aerolinker]\r\n' >"$config"
    local line
    for line in "$@"; do
        printf '%s\r\n' "$line" >>"$config"
    done
}

# Control identifiers (window_ids.h).
ID_CONNECT=101
ID_DISCONNECT=102
ID_SAVE_GENERATED=103
ID_INFOS=104
ID_SALVA_SIT=105
ID_CARICA_SIT=106
ID_PROFILE=107
ID_MEMO=110
ID_STATUS=111
ID_EPILOT=201
ID_EID=202
ID_EPILOTN=203
ID_FDIR=204
ID_FS2K4=205
ID_BOTTONE_DIR=206
ID_FS2K4_BROWSE=207
ID_PILOT_SAVE=208
ID_PILOT_EXIT=209
ID_AIRLINE_SERVER=210
ID_API_KEY_LABEL=211
ID_API_KEY=212
ID_AIRLINE_TEST=213
ID_AIRLINE_RESULT=214

start_fsim() {
    local scenario=$1
    mkdir -p "$work/flights"
    wine "$FSIM_EXE" --flights "$(winpath "$work/flights")" \
        --transcript "$(winpath "$work")\\transcript.txt" "$(winpath "$scenario")" \
        >/dev/null 2>&1 &
    wait_until 60 probe_equals 1 count UIPCMAIN || fail "fsim.exe did not start"
    # Below the main window, so that neither hides the other.
    probe place UIPCMAIN 0 640 >/dev/null
}

short_hop="$TEST_SOURCE_DIR/short-hop.scn"

# The short hop, set up as a pilot flies it: a configuration naming Jane Doe and a log folder
# under $work/logs (the console host gets the same one), fsim playing the hop, the program
# started and connected.
start_short_hop() {
    open_short_hop
    click_control $ID_CONNECT
    wait_until 60 probe_equals Okay status || fail "status after connecting: \"$(probe status)\""
}

# All of it but the connect; the pilot's name may be given, in the system's code page.
open_short_hop() {
    local pilot=${1:-Jane Doe}
    mkdir -p "$work/logs" "$work/console/windows" "$work/console/logs" "$work/console/flights"
    write_config "PilotName=$pilot" "ID=CS042" "Number=7" \
        "Flightdir=$(winpath "$work/logs")" "FS2k4dir=C:\\"
    cp "$config" "$work/console/windows/Aerolinker.ini"
    start_fsim "$short_hop"
    start_program
}

# Flies the short hop without a break through the console host (the same handlers in one
# process, with the folders under $work/console) and compares its log with the window's.
expect_log_as_flown_without_a_break() {
    local log=$1 what=$2
    wine "$CONSOLE_EXE" --scenario "$(winpath "$short_hop")" --tick-ms 0 \
        --windows-folder "$(winpath "$work/console/windows")" \
        --log-folder "$(winpath "$work/console/logs")" \
        --flights-folder "$(winpath "$work/console/flights")" >"$work/console/output.txt" 2>&1 ||
        fail "the console host could not fly the scenario: $(tail -n 3 "$work/console/output.txt")"
    cmp "$log" "$work/console/logs/Navforge.log" ||
        fail "$what differs from the flight without a break (see $work)"
    pass_note "$what equals the flight without a break byte for byte"
}

# --- the cases -------------------------------------------------------------------------------

case_first_start() {
    start_program
    expect_probe "caption with no configuration file" \
        "Aerolinker 2.1 --- (Pilot Name) None" caption
    expect_probe "status bar at start" "" status
    expect_probe "text area at start" "" memo
    expect_probe "\"Connect to FSim\" enabled" 1 enabled $ID_CONNECT
    expect_probe "\"Save Situation\" disabled before a connection" 0 enabled $ID_SALVA_SIT
    expect_probe "\"Load Last Situation\" disabled before a connection" 0 enabled $ID_CARICA_SIT

    # A click on a disabled situation button does nothing: no "Plane on ground" message.
    click_control $ID_SALVA_SIT
    click_control $ID_CARICA_SIT
    sleep 1
    if probe dialog >/dev/null; then
        fail "a disabled situation button answered a click: $(probe dialog)"
    fi
    pass_note "disabled situation buttons ignore clicks"

    # Each button's hint appears when the mouse rests on it, the disabled ones' too.
    local id hint centre x y
    while IFS=: read -r id hint; do
        centre=$(probe centre "$id") || fail "no control $id on screen"
        read -r x y <<<"$centre"
        xdotool mousemove --sync "$x" "$y"
        xdotool mousemove_relative --sync 3 3
        wait_until 10 probe_equals "$hint" tooltip ||
            fail "hint of button $id: expected \"$hint\", saw \"$(probe tooltip)\""
        pass_note "hint \"$hint\""
        if [ "$id" = "$ID_CONNECT" ]; then
            sleep 0.5
            window_screenshot first-start-hint TFConnection
        fi
    done <<EOF
$ID_CONNECT:Connect to FSim (Ctrl+K)
$ID_DISCONNECT:Disconnect FS (Ctrl+D)
$ID_SAVE_GENERATED:Save Generated File (Ctrl+S)
$ID_INFOS:Info's (Ctrl+I)
$ID_SALVA_SIT:Save Situation (Ctrl+Shift+S)
$ID_CARICA_SIT:Load Last Situation (Ctrl+L)
$ID_PROFILE:Flight profile (Ctrl+P)
EOF

    # With no configuration the log folder is Documents\Aerolinker, made at the start: the empty
    # text area makes an empty file there.
    click_control $ID_SAVE_GENERATED
    local log="$default_logs/Navforge.log"
    wait_until 10 test -f "$log" || fail "\"Save Generated File\" wrote no Documents\\Aerolinker\\Navforge.log"
    [ ! -s "$log" ] || fail "the empty text area gave a log of $(stat -c %s "$log") bytes"
    pass_note "\"Save Generated File\" wrote an empty Documents\\Aerolinker\\Navforge.log"
    close_program
    [ -z "$(settings_of "$config")" ] ||
        fail "closing the window wrote more than its place: $(cat -A "$config")"
    pass_note "closing the window ended the program and wrote only its place"
}

case_no_server() {
    start_program
    click_control $ID_CONNECT
    wait_until 60 probe_equals "Cannot link to FSUIPC or WideClient" status ||
        fail "status after connecting with no simulator: \"$(probe status)\""
    pass_note "status \"Cannot link to FSUIPC or WideClient\""
    expect_probe "\"Save Situation\" still disabled" 0 enabled $ID_SALVA_SIT
    expect_probe "nothing written to the log" "" memo
    window_screenshot no-server TFConnection
}

case_flight() {
    start_short_hop
    pass_note "status \"Okay\""
    expect_probe "\"Save Situation\" enabled by the connection" 1 enabled $ID_SALVA_SIT
    expect_probe "\"Load Last Situation\" enabled by the connection" 1 enabled $ID_CARICA_SIT
    local greeting="Welcome on board by Coralstraits Airlines and Navforge 2006. Depart from LIEO within 10 minutes"
    wait_until 10 file_contains "$work/transcript.txt" "$greeting" ||
        fail "the greeting did not reach the simulator"
    pass_note "the greeting reached the simulator"

    # The pilot reads the top of the log while the tracker writes: the view and the caret stay
    # where the pilot put them. By the take-off the log is longer than the text area shows.
    wait_until 120 file_contains "$work/transcript.txt" "Take off : Have a good flight" ||
        fail "the take-off did not reach the simulator"
    sleep 2
    click_control $ID_MEMO
    xdotool key ctrl+End
    wait_until 10 probe_greater first-line 0 ||
        fail "the log fits the text area: the view could not move"
    xdotool key ctrl+Home
    wait_until 10 probe_equals 0 first-line || fail "Ctrl+Home did not show the top of the log"

    # The flight runs on the program's own 5-second timer; the first registration is about
    # half a minute in.
    wait_until 120 file_contains "$work/transcript.txt" "OLB Registered" ||
        fail "no waypoint registration reached the simulator"
    sleep 2
    expect_probe "the first line in view after the tracker wrote" 0 first-line
    expect_probe "the caret after the tracker wrote" 0 caret
    pass_note "waypoint registered in flight"

    # Back at the end, the view follows what the tracker writes. The window is caught in
    # flight for the pilot guide.
    xdotool key ctrl+End
    sleep 4
    local end_line
    end_line=$(probe first-line)
    window_screenshot main-window-in-flight TFConnection
    wait_until 120 file_contains "$work/transcript.txt" "ELB Registered" ||
        fail "no second waypoint registration reached the simulator"
    wait_until 10 probe_greater first-line "$end_line" ||
        fail "the view at the end did not follow the tracker: first line $(probe first-line)"
    pass_note "the view at the end follows the tracker"

    # In flight the pilot opens "Flight profile" beside the main window; a second click brings
    # the same window back in front of it. The window draws what the recorder holds of the
    # flight so far at every tick, or says that nothing is recorded yet.
    probe place TFConnection 0 0 >/dev/null
    click_control $ID_PROFILE
    wait_until 20 probe_equals 1 shown TFProfile || fail "\"Flight profile\" opened no window"
    expect_probe "profile window caption" "Flight profile" title TFProfile
    click_control $ID_STATUS
    wait_until 10 probe_equals TFConnection foreground ||
        fail "the main window did not come to the front: $(probe foreground) is"
    click_control $ID_PROFILE
    wait_until 10 probe_equals TFProfile foreground ||
        fail "a second click did not bring the profile window to the front: $(probe foreground) is"
    expect_probe "profile windows after a second click" 1 count TFProfile
    sleep 6  # a tick with the window open
    window_screenshot flight-profile-in-flight TFProfile
    [ -s "$work/flight-profile-in-flight.png" ] || fail "no screenshot of the profile window"
    pass_note "the profile window shows the flight in progress"

    wait_until 180 file_contains "$work/transcript.txt" "End of Flight!" ||
        fail "the flight was not closed"
    sleep 2
    local log="$work/logs/Navforge.log"
    [ -f "$log" ] || fail "no Navforge.log in the log folder"
    window_screenshot main-window-arrived TFConnection
    window_screenshot flight-profile-arrived TFProfile || fail "the profile window closed in flight"

    # Every second registration saved the situation: the simulator's flight, the flight state
    # in the Windows folder's configuration, and the backups made by the shell's file copy.
    file_contains "$work/transcript.txt" 'flight saved as "navforge"' ||
        fail "the simulator was never asked to save the flight"
    tr -d '\r' <"$config" | grep -qx "NPunti=5" || fail "no flight state in Aerolinker.ini"
    [ -f "$settings_folder/Aerolinker.inibak" ] || fail "no Aerolinker.inibak beside Aerolinker.ini"
    [ -f "$work/logs/Navforge.bak" ] || fail "no Navforge.bak beside Navforge.log"
    pass_note "situation saved in flight, with both backups"

    expect_log_as_flown_without_a_break "$log" "the window's Navforge.log"

    # What the text area shows is the log the file holds.
    probe memo >"$work/memo.txt"
    [ "$(tr -d '\r' <"$log")" = "$(cat "$work/memo.txt")" ] ||
        fail "the text area does not show the saved log"
    pass_note "the text area shows the whole log"

    click_control $ID_DISCONNECT
    wait_until 20 probe_equals Closed status || fail "status after disconnecting: \"$(probe status)\""
    pass_note "status \"Closed\""
    expect_probe "situation buttons stay enabled after a disconnect" 1 enabled $ID_SALVA_SIT
}

# The number of flight saves and loads the simulator has been asked for.
flight_requests() { grep -c -e ': flight ' "$1"; }
flights_saved() { [ "$(grep -c 'flight saved as "navforge"' "$1")" -eq "$2" ]; }

# The log as the registration after a situation save leaves it: its last table row, then the
# empty line of the tracker's save.
log_saved_at() {
    local log=$1 row=$2
    file_contains "$log" "$row" && [ "$(tail -c 4 "$log" | od -An -c | tr -d ' ')" = '\r\n\r\n' ]
}

# What the text area holds, line by line; the probe's own line end goes.
memo_lines() {
    wine "$PROBE_EXE" memo 2>/dev/null | tr -d '\r' | head -c -1
}

# The short hop interrupted after the situation save at PRT by closing the window, then resumed
# by a program started afresh through the question at connect: the finished log is the one of
# the flight without a break.
case_resume() {
    local transcript="$work/transcript.txt" log="$work/logs/Navforge.log"
    start_short_hop

    # Every second registration saves the situation: the second save comes with PRT. The
    # registration then adds the next row, LIRQ's, and saves the log once more.
    wait_until 180 file_contains "$transcript" "PRT Registered" ||
        fail "the flight did not reach PRT"
    wait_until 10 flights_saved "$transcript" 2 ||
        fail "no second situation save at PRT"
    wait_until 10 log_saved_at "$log" "LIRQ    |" ||
        fail "the log was not saved after the situation save at PRT"
    local saved_tick
    saved_tick=$(grep -o 'flight saved as "navforge" (navforge.flt, tick [0-9]*)' "$transcript" |
        tail -n 1 | grep -o '[0-9]*)$' | tr -d ')')
    cp "$log" "$work/log-at-interruption.log"
    local files_before
    files_before=$(md5sum "$settings_folder/Aerolinker.inibak" "$log" \
        "$work/logs/Navforge.bak" "$work/flights/navforge.flt"; settings_of "$config")
    pass_note "situation saved at PRT (tick $saved_tick) and the log written after it"

    # The pilot closes the window in flight; the simulator stays where it was.
    close_program_in_flight
    ! file_contains "$transcript" "End of Flight!" ||
        fail "the flight ended before the window was closed"
    [ "$(md5sum "$settings_folder/Aerolinker.inibak" "$log" "$work/logs/Navforge.bak" \
        "$work/flights/navforge.flt"; settings_of "$config")" = "$files_before" ] ||
        fail "closing the window in flight changed the saved files"
    probe_equals 1 count UIPCMAIN || fail "fsim.exe ended with the program"
    pass_note "closing the window in flight ended the program and saved nothing"

    # Started again: "Connect to FSim" finds the unfinished flight and asks before any tick
    # runs; Yes resumes it.
    start_program
    local load_at
    load_at=$(probe centre $ID_CARICA_SIT) || fail "no \"Load Last Situation\" button"
    click_control $ID_CONNECT
    wait_until 10 probe dialog || fail "no question at connect for the unfinished flight"
    local question
    question=$(probe dialog)
    if ! grep -qF "An unfinished flight was saved on" <<<"$question" ||
        ! grep -qF "LIEO->OLB->ELB->PRT->" <<<"$question"; then
        fail "the question shows \"$question\""
    fi
    pass_note "question at connect: $(tr '\n' ' ' <<<"$question")"
    window_screenshot resume-question "#32770"
    click_dialog_button "&Yes"
    wait_until 10 no_dialog || fail "the question did not close on Yes"
    wait_until 60 probe_equals Okay status || fail "status after connecting: \"$(probe status)\""
    pass_note "status \"Okay\""
    local loaded="flight loaded from \"navforge-b.flt\" (navforge-b.flt, tick $saved_tick)"
    wait_until 30 file_contains "$transcript" "$loaded" ||
        fail "the simulator did not load the situation's flight: $(tail -n 1 "$transcript")"
    # Two situation saves, each with a flight of its own and the older copies' navforge, and
    # the one load.
    [ "$(flight_requests "$transcript")" -eq 5 ] ||
        fail "the simulator was asked for more than the four saves and the load"
    pass_note "the simulator loaded navforge-b.flt at tick $saved_tick"
    memo_lines >"$work/memo-resumed.txt"
    tr -d '\r' <"$work/log-at-interruption.log" | sed '$d' | cmp -s - "$work/memo-resumed.txt" ||
        fail "the text area does not show the saved log"
    pass_note "the text area shows the saved log"
    window_screenshot main-window-resumed TFConnection

    # While the resumed flight is tracked, another load is refused and changes nothing.
    ! file_contains "$transcript" "End of Flight!" ||
        fail "the flight ended before a second load could be tried"
    click_at "$load_at"
    wait_until 10 probe dialog || fail "no message box for a load during a tracked flight"
    local shown
    shown=$(probe dialog)
    grep -qxF "Not Appliable" <<<"$shown" || fail "message box shows \"$shown\""
    pass_note "message box \"Not Appliable\""
    window_screenshot not-appliable "#32770"
    click_dialog_button OK
    wait_until 10 no_dialog || fail "the message box did not close on OK"
    [ "$(flight_requests "$transcript")" -eq 5 ] ||
        fail "the refused load reached the simulator: $(tail -n 1 "$transcript")"
    memo_lines | cmp -s - "$work/memo-resumed.txt" || fail "the refused load changed the text area"
    pass_note "the refused load changed nothing"

    # The resumed flight goes on at the real tick to the arrival.
    wait_until 120 file_contains "$transcript" "End of Flight!" ||
        fail "the resumed flight was not closed"
    wait_until 10 file_contains "$log" "Prepared by: 7 CS042" ||
        fail "the arrival did not save the log"
    sleep 1
    [ "$(grep -c "Take off : Have a good flight" "$transcript")" -eq 1 ] ||
        fail "the resumed program registered a second take-off"

    expect_log_as_flown_without_a_break "$log" "the resumed Navforge.log"
}

# The pilot clicks "Connect to FSim" again in flight, then the simulator stops answering for a
# while: the status bar tells each, nothing is recorded meanwhile, and the flight closes with the
# log of the flight without a break.
case_lost_link() {
    local transcript="$work/transcript.txt" log="$work/logs/Navforge.log"
    start_short_hop
    wait_until 120 file_contains "$transcript" "Take off : Have a good flight" ||
        fail "the take-off did not reach the simulator"
    # The status shows "Attempt to Open when already Open" until the next tick (the handler
    # tests check that text); here: the flight is not started again.
    click_control $ID_CONNECT
    sleep 6
    [ "$(grep -c "Welcome on board" "$transcript")" -eq 1 ] ||
        fail "a second connect in flight greeted again"
    wait_until 10 probe_equals Okay status || fail "the next tick did not show \"Okay\""
    pass_note "a second connect in flight started nothing again"

    # The simulator hangs (its process stopped): every exchange times out.
    local fsim_pid
    fsim_pid=$(wine_process_pid fsim.exe)
    [ -n "$fsim_pid" ] || fail "no fsim.exe process to stop"
    kill -STOP "$fsim_pid"
    wait_until 60 probe_grep_status "all retries" || {
        kill -CONT "$fsim_pid"
        fail "status while the simulator hangs: \"$(probe status)\""
    }
    pass_note "status while the simulator hangs: \"$(probe status)\""
    window_screenshot lost-link TFConnection
    kill -CONT "$fsim_pid"
    wait_until 60 probe_equals Okay status || fail "status after the simulator answered again"
    pass_note "\"Okay\" again once the simulator answers"

    wait_until 180 file_contains "$transcript" "End of Flight!" || fail "the flight did not close"
    wait_until 10 file_contains "$log" "Prepared by: 7 CS042" || fail "the arrival did not save"
    [ "$(grep -c "Take off : Have a good flight" "$transcript")" -eq 1 ] ||
        fail "a second take-off was recorded"
    expect_log_as_flown_without_a_break "$log" "the Navforge.log of the flight with a hang"
}

# The simulator closes in flight (its process ends) and starts again: each tick tries to
# reconnect and says so, the last situation is offered once the simulator is back, and the
# flight resumed from it closes with the log of the flight without a break, with no Disconnect.
case_sim_restart() {
    local transcript="$work/transcript.txt" log="$work/logs/Navforge.log"
    start_short_hop
    wait_until 180 file_contains "$transcript" "PRT Registered" ||
        fail "the flight did not reach PRT"
    wait_until 10 flights_saved "$transcript" 2 || fail "no second situation save at PRT"
    local fsim_pid
    fsim_pid=$(wine_process_pid fsim.exe) || fail "no fsim.exe process to close"
    kill "$fsim_pid"
    wait_until 30 probe_equals 0 count UIPCMAIN || fail "fsim.exe did not end"
    wait_until 30 probe_grep_status "reconnecting" ||
        fail "status while the simulator is away: \"$(probe status)\""
    pass_note "status while the simulator is away: \"$(probe status)\""
    sleep 12  # a few ticks find no simulator
    probe_grep_status "Simulator lost, reconnecting" ||
        fail "the ticks did not go on reconnecting: \"$(probe status)\""

    start_fsim "$short_hop"
    wait_until 30 probe dialog || fail "no question when the simulator came back"
    local question
    question=$(probe dialog)
    grep -qF "The simulator is back." <<<"$question" || fail "the question shows \"$question\""
    pass_note "question: $(tr '\n' ' ' <<<"$question")"
    click_dialog_button "&Yes"
    wait_until 10 no_dialog || fail "the question did not close on Yes"
    wait_until 240 file_contains "$transcript" "End of Flight!" || fail "the flight did not close"
    wait_until 10 file_contains "$log" "Prepared by: 7 CS042" || fail "the arrival did not save"
    expect_log_as_flown_without_a_break "$log" "the Navforge.log of the flight with a restart"
}

probe_grep_status() { probe status | grep -qF -- "$1"; }

# The Linux process id of the Windows program PROGRAM running in this case's prefix. Its
# command line starts with the program's Windows path; Wine's start.exe, which launches a
# 64-bit program when 32-bit Wine is installed too, and the other build's cases running beside
# this one (another prefix) also name it.
wine_process_pid() {
    local program=$1 pid
    for pid in $(pgrep -f "^[A-Za-z]:\\\\.*\\\\${program//./\\.}( |\$)"); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

case_no_plan() {
    start_fsim "$SCENARIO_DIR/no-flight-plan.scn"
    start_program
    click_control $ID_CONNECT
    wait_until 60 probe dialog || fail "no message box after connecting with no flight plan"
    local shown
    shown=$(probe dialog)
    grep -qxF "Not Plan. Attention!" <<<"$shown" || fail "message box shows \"$shown\""
    pass_note "message box \"Not Plan. Attention!\""
    window_screenshot no-plan-message "#32770"
    click_dialog_button OK
    wait_until 10 no_dialog || fail "the message box did not close on OK"
    expect_probe "status" Okay status
    expect_probe "situation buttons enabled" 1 enabled $ID_SALVA_SIT
    expect_probe "no log header without a plan" "" memo
    # The simulator got the greeting and then the warning.
    wait_until 10 file_contains "$work/transcript.txt" "Attention please !!! Plan not loaded." ||
        fail "the no-plan warning did not reach the simulator"
    pass_note "the simulator showed the no-plan warning"
}

case_save_generated() {
    mkdir -p "$work/logs"
    write_config "Flightdir=$(winpath "$work/logs")"
    # The log of a flight closed in an earlier run: the button with the window still empty
    # keeps it, and typing a new text first makes it the backup.
    local finished="$work/finished.log"
    printf 'CORALSTRAITS ARLINES\r\nAircraft Ident : Beech\r\nDate           : 06/12/2026\r\n' \
        >"$finished"
    cp "$finished" "$work/logs/Navforge.log"
    start_program
    click_control $ID_SAVE_GENERATED
    wait_until 10 probe_grep_status "The text area is empty" ||
        fail "status after saving an empty text area: \"$(probe status)\""
    cmp -s "$finished" "$work/logs/Navforge.log" || fail "the empty text area replaced the log"
    pass_note "an empty text area kept the log: \"$(probe status)\""
    click_control $ID_MEMO
    xdotool type --delay 40 "Remarks: smooth flight"
    xdotool key Return
    xdotool type --delay 40 "ATC delay 10 min"
    sleep 0.5
    click_control $ID_SAVE_GENERATED
    local log="$work/logs/Navforge.log"
    wait_until 10 test -f "$log" || fail "\"Save Generated File\" wrote no file"
    wait_until 10 cmp -s "$finished" "$work/logs/Navforge.bak" ||
        fail "the earlier flight's log did not become the backup"
    printf 'Remarks: smooth flight\r\nATC delay 10 min\r\n' | cmp -s - "$log" ||
        fail "Navforge.log holds \"$(cat -A "$log")\""
    pass_note "\"Save Generated File\" wrote the typed text, CR LF and all, the old log the backup"
}

# A save that fails in flight (the log folder gone: a network drive lost, say) reports in a box
# that opens after the tick; the flight is sampled and tracked while the box waits for the pilot.
case_save_failure() {
    local transcript="$work/transcript.txt"
    start_short_hop
    rm -rf "$work/logs"
    wait_until 120 probe dialog || fail "no box for the failed save"
    local shown
    shown=$(probe dialog)
    grep -qF " save failed: " <<<"$shown" || fail "the box shows \"$shown\""
    pass_note "box: $(tr '\n' ' ' <<<"$shown")"
    window_screenshot save-failure "#32770"
    wait_until 120 file_contains "$transcript" " Registered" ||
        fail "no waypoint was registered while the box was open"
    probe dialog >/dev/null || fail "the box closed by itself"
    pass_note "the flight went on to a waypoint while the box waited"
    click_dialog_button OK
}

case_second_copy() {
    start_program
    local first=$program_pid
    # Another program in front: the simulator's window, clicked by the pilot.
    start_fsim "$SCENARIO_DIR/no-flight-plan.scn"
    local fsim_at
    fsim_at=$(probe window-centre UIPCMAIN) || fail "no window of fsim on screen"
    click_at "$fsim_at"
    wait_until 10 probe_equals UIPCMAIN foreground || fail "fsim's window did not come to the front"
    wine "$AEROLINKER_EXE" >/dev/null 2>&1 &
    wait_for_exit $! 30 || fail "the second copy did not end by itself"
    expect_probe "main windows after a second start" 1 count TFConnection
    if probe dialog >/dev/null; then
        fail "the second copy showed something: $(probe dialog)"
    fi
    pass_note "the second copy ended without showing anything"
    wait_until 10 probe_equals TFConnection foreground ||
        fail "the running window did not come to the front: $(probe foreground) is"
    pass_note "the running window came to the front"

    probe minimise >/dev/null
    wait_until 10 probe_equals 1 iconic || fail "could not minimise the main window"
    wine "$AEROLINKER_EXE" >/dev/null 2>&1 &
    wait_for_exit $! 30 || fail "the second copy did not end by itself"
    wait_until 10 probe_equals 0 iconic || fail "the minimised window was not restored"
    pass_note "a second start restores the minimised window"
    expect_probe "main windows" 1 count TFConnection
    kill -0 "$first" 2>/dev/null || fail "the first copy is gone"
}

case_pilot_form() {
    mkdir -p "$work/Flights"
    local flights
    flights=$(winpath "$work/Flights")
    write_config "PilotName=Jane Doe" "ID=cs042" "Number=7" "Flightdir=$flights" \
        "FS2k4dir=C:\\windows"
    start_program
    expect_probe "caption" "Aerolinker 2.1 --- (Pilot Name) Jane Doe" caption

    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "\"Info's\" did not show the pilot form"
    expect_probe "pilot form caption" "Pilot Informations" title TFPilot
    expect_probe "\"Pilot Name \" keeps its case" "Jane Doe" text $ID_EPILOT
    expect_probe "\"Pilot Id\" keeps its case" "cs042" text $ID_EID
    expect_probe "\"MyFlightsDir\" keeps its case" "$flights" text $ID_FDIR
    expect_probe "\"FS2k4-Files\" keeps its case" 'C:\windows' text $ID_FS2K4
    # The main window takes no clicks while the form is open.
    click_control $ID_CONNECT
    sleep 1
    expect_probe "a click on the blocked main window does nothing" "" status

    # Typed letters come out in upper case.
    click_control $ID_EPILOT
    xdotool key Home shift+End
    xdotool type --delay 40 "john smith"
    click_control $ID_EID
    xdotool key End
    xdotool type --delay 40 "b"
    expect_probe "typed name in upper case" "JOHN SMITH" text $ID_EPILOT
    expect_probe "typed letter in upper case after the kept text" "cs042B" text $ID_EID

    # Tab goes "Pilot Name ", "Pilot Id", "Pilot #", "Save", "Exit", "FS2k4-Files",
    # "MyFlightsDir": from "Pilot #", three tabs reach "FS2k4-Files".
    click_control $ID_EPILOTN
    xdotool key Tab Tab Tab End
    xdotool type --delay 40 "x"
    expect_probe "Tab order reaches \"FS2k4-Files\" after \"Exit\"" 'C:\windowsX' text $ID_FS2K4
    xdotool key BackSpace Tab End
    xdotool type --delay 40 "y"
    expect_probe "and then \"MyFlightsDir\"" "${flights}Y" text $ID_FDIR
    xdotool key BackSpace
    window_screenshot pilot-form TFPilot

    # Then the browse button beside it, which the space bar presses.
    xdotool key Tab space
    wait_until 20 probe dialog || fail "Tab and the space bar did not reach the browse button"
    pass_note "the browse button is reached with the keyboard"
    click_dialog_button Cancel
    wait_until 10 no_dialog || fail "the folder dialog did not close"

    # The browse dialog: titled "FlightSim2k4"; a cancel leaves the field alone.
    click_control $ID_BOTTONE_DIR
    wait_until 20 probe dialog || fail "the browse button showed no folder dialog"
    local dialog
    dialog=$(probe dialog)
    [ "$(head -n1 <<<"$dialog")" = "FlightSim2k4" ] || fail "folder dialog caption: \"$dialog\""
    pass_note "folder dialog \"FlightSim2k4\""
    window_screenshot folder-dialog "#32770"
    click_dialog_button Cancel
    wait_until 10 no_dialog || fail "the folder dialog did not close"
    expect_probe "cancelled browse leaves the field" "$flights" text $ID_FDIR

    # Confirming the preselected folder gives it back as the system names it: C:\windows keeps
    # its lower case although the field turns typed letters into capitals.
    click_control $ID_FS2K4_BROWSE
    wait_until 20 probe dialog || fail "the second browse button showed no folder dialog"
    click_dialog_button OK
    wait_until 10 no_dialog || fail "the folder dialog did not close"
    expect_probe "chosen folder keeps the system's case" 'C:\windows' text $ID_FS2K4

    click_control $ID_PILOT_SAVE
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Save\" did not close the pilot form"
    local keys
    keys=$(tr -d '\r' <"$config" | grep -E '^(PilotName|ID|Number|Flightdir|FS2k4dir)=')
    local expected
    expected=$(printf '%s\n' "PilotName=JOHN SMITH" "ID=cs042B" "Number=7" "Flightdir=$flights" \
        'FS2k4dir=C:\windows')
    [ "$keys" = "$expected" ] || fail "configuration after \"Save\": $keys"
    pass_note "\"Save\" wrote the five keys in order"
    expect_probe "caption keeps the old name" "Aerolinker 2.1 --- (Pilot Name) Jane Doe" caption
    click_control $ID_DISCONNECT
    wait_until 10 probe_equals Closed status || fail "the main window is still blocked"
    pass_note "the main window takes clicks again"

    # Shown again, the form holds what was saved; "Exit" writes nothing.
    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "the pilot form did not show again"
    expect_probe "saved name shown again" "JOHN SMITH" text $ID_EPILOT
    click_control $ID_EPILOTN
    xdotool type --delay 40 "9"
    local before
    before=$(md5sum <"$config")
    click_control $ID_PILOT_EXIT
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Exit\" did not close the pilot form"
    [ "$(md5sum <"$config")" = "$before" ] || fail "\"Exit\" changed the configuration"
    pass_note "\"Exit\" wrote nothing"

    close_program
    start_program
    expect_probe "caption at the next start" "Aerolinker 2.1 --- (Pilot Name) JOHN SMITH" caption
}

case_save_refused() {
    # A folder where the configuration file should be: every write to it is refused.
    mkdir -p "$config"
    start_program
    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "\"Info's\" did not show the pilot form"
    click_control $ID_EPILOT
    xdotool type --delay 40 "x"
    click_control $ID_PILOT_SAVE
    wait_until 20 probe dialog || fail "a refused save reported nothing"
    local shown
    shown=$(probe dialog)
    grep -qxF "Unable to write to C:\\users\\$(id -un)\\AppData\\Roaming\\Aerolinker\\Aerolinker.ini" \
        <<<"$shown" || fail "error box shows \"$shown\""
    pass_note "the error box shows \"$shown\""
    window_screenshot save-refused-error "#32770"
    click_dialog_button OK
    wait_until 10 no_dialog || fail "the error box did not close on OK"
    # The save stopped at the refused write: the form stays open with the pilot's entry.
    expect_probe "the pilot form stays open" 1 shown TFPilot
    expect_probe "the entry is kept" "NoneX" text $ID_EPILOT
    click_control $ID_PILOT_EXIT
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Exit\" did not close the pilot form"
    click_control $ID_DISCONNECT
    wait_until 10 probe_equals Closed status || fail "the program did not go on after the error"
    pass_note "the program goes on after the error"
}

probe_grep_memo() { probe memo | grep -qE -- "$1"; }

# fsim.exe opened from its folder with no arguments, as a pilot trying Aerolinker without the
# simulator does: the chooser offers the bundled flights; LIEO-LIRQ chosen at 16x from the
# keyboard takes off within a minute or two of the connect (a quarter of an hour at 1x).
case_fsim_chooser() {
    local package="$work/Aerolinker"
    mkdir -p "$package/scenarios"
    cp "$FSIM_EXE" "$package/fsim.exe"
    cp "$SCENARIO_DIR"/*.scn "$SCENARIO_DIR/README.md" "$package/scenarios/"
    (cd "$package" && exec wine fsim.exe >/dev/null 2>&1) &
    wait_until 60 probe_equals 1 shown FsimChooser || fail "fsim.exe with no arguments showed no chooser"
    expect_probe "chooser caption" "Substitute simulator" title FsimChooser
    sleep 1
    window_screenshot fsim-chooser FsimChooser
    # "l" finds LIEO-LIRQ in the list, Tab reaches the speeds at 1x, two arrows move to 16x.
    xdotool key l Tab Right Right
    sleep 0.5
    window_screenshot fsim-chooser-16x FsimChooser
    xdotool key Return
    wait_until 30 probe_equals 1 count UIPCMAIN || fail "Start opened no simulator window"
    expect_probe "the chooser closed" 0 shown FsimChooser
    expect_probe "the simulator plays the chosen flight" "Substitute simulator - LIEO-LIRQ" \
        title UIPCMAIN
    # Made as small as it goes, the window keeps its status line and a few transcript lines.
    local width height
    probe frame UIPCMAIN 0 640 100 50 >/dev/null
    read -r _ _ width height <<<"$(probe rect UIPCMAIN)"
    if [ "$width" -lt 360 ] || [ "$height" -lt 120 ]; then
        fail "fsim's window shrank to $width x $height"
    fi
    probe frame UIPCMAIN 0 640 760 440 >/dev/null

    start_program
    click_control $ID_CONNECT
    wait_until 60 probe_equals Okay status || fail "status after connecting: \"$(probe status)\""
    local connected=$SECONDS
    # LIEO-LIRQ takes off at 10:05, 180 ticks after its start: 12 samples at 16x.
    wait_until 120 probe_grep_memo '^Take off +: 10:0[5-6]' ||
        fail "no take-off in the log 2 minutes after the connect: $(probe memo | tail -n 3)"
    pass_note "take-off at 16x $((SECONDS - connected)) s after the connect"
    window_screenshot fsim-at-16x UIPCMAIN
}

# Mounts a folder over itself, read-only (ro) or writable (rw).
mount_over() {
    local folder=$1 mode=$2
    mount --bind "$folder" "$folder" 2>"$work/mount.log" || return 1
    own_mounts+=("$folder")
    mount -o "remount,bind,$mode" "$folder" 2>>"$work/mount.log"
}

can_write() { touch "$1/.gui-test-write" 2>/dev/null && rm -f "$1/.gui-test-write"; }

# A pilot without administrator rights flies: drive C: is read-only, its Windows folder and
# root included, and only the pilot's own profile folder is writable, as for a standard user.
# The pilot form saves to the user's settings, and with no folder chosen the whole flight's
# log goes to Documents\Aerolinker.
case_standard_user() {
    local drive_c="$prefix/drive_c"
    if ! mount_over "$drive_c" ro || ! mount_over "$user_folder" rw; then
        skip "mounts are not permitted here: $(head -n 1 "$work/mount.log")"
    fi
    if ! can_write "$user_folder" || can_write "$windows_folder" || can_write "$drive_c"; then
        fail "the mounts did not leave only the profile folder writable"
    fi
    pass_note "C:\\ and C:\\windows read-only, the profile folder writable"
    # The program makes its settings folder itself.
    rm -rf "$settings_folder"

    start_program
    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "\"Info's\" did not show the pilot form"
    local documents_logs
    documents_logs="C:\\users\\$(id -un)\\Documents\\Aerolinker"
    expect_probe "\"MyFlightsDir\" with no folder chosen" "$documents_logs" text $ID_FDIR
    local field text
    for field in "$ID_EPILOT:jane doe" "$ID_EID:cs042" "$ID_EPILOTN:7"; do
        click_control "${field%%:*}"
        xdotool key Home shift+End
        text=${field#*:}
        xdotool type --delay 40 "$text"
    done
    click_control $ID_PILOT_SAVE
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Save\" did not close the pilot form"
    local expected
    expected=$(printf '%s\n' "PilotName=JANE DOE" "ID=CS042" "Number=7" \
        "Flightdir=$documents_logs" "FS2k4dir=C:\\")
    [ "$(tr -d '\r' <"$config" 2>/dev/null)" = "[Aerolinker]"$'\n'"$expected" ] ||
        fail "the user's settings after \"Save\": $(cat -A "$config" 2>&1)"
    pass_note "\"Save\" wrote the profile to %APPDATA%\\Aerolinker\\Aerolinker.ini"

    # The flight, through the window from the connect to the arrival.
    mkdir -p "$work/console/windows" "$work/console/logs" "$work/console/flights"
    cp "$config" "$work/console/windows/Aerolinker.ini"
    start_fsim "$short_hop"
    click_control $ID_CONNECT
    wait_until 60 probe_equals Okay status || fail "status after connecting: \"$(probe status)\""
    wait_until 240 file_contains "$work/transcript.txt" "End of Flight!" ||
        fail "the flight was not closed: $(tail -n 1 "$work/transcript.txt")"
    local log="$default_logs/Navforge.log"
    wait_until 10 file_contains "$log" "Prepared by: 7 CS042" ||
        fail "the arrival left no log in Documents\\Aerolinker"
    # A save that fails says so in a message box.
    no_dialog || fail "a message box in flight: $(probe dialog)"
    tr -d '\r' <"$config" | grep -qx "NPunti=5" || fail "no flight state in the user's settings"
    pass_note "the situation saves went to the user's settings"
    expect_log_as_flown_without_a_break "$log" "Documents\\Aerolinker\\Navforge.log"
    window_screenshot standard-user-arrived TFConnection
}

probe_focus_is() { [ "$(probe focus)" = "$1" ]; }

# The main window without the mouse: Tab and Shift+Tab go between the buttons and the log,
# which keeps only what is typed; the space bar presses the button with the focus; every
# tool-bar action has its shortcut, which does nothing while its button is disabled; Esc and
# Alt+F4 close the profile window and leave the main window open.
case_keyboard() {
    start_program
    click_control $ID_MEMO
    xdotool type --delay 40 "ab"
    xdotool key Tab
    wait_until 10 probe_focus_is $ID_CONNECT ||
        fail "Tab from the log went to $(probe focus), not to \"Connect to FSim\""
    expect_probe "the log after Tab" "ab" memo
    xdotool key shift+Tab
    wait_until 10 probe_focus_is $ID_MEMO || fail "Shift+Tab went to $(probe focus), not the log"
    xdotool key Tab Tab
    wait_until 10 probe_focus_is $ID_DISCONNECT ||
        fail "two Tabs from the log went to $(probe focus), not to \"Disconnect FS\""
    sleep 0.5
    window_screenshot keyboard-focus TFConnection
    xdotool key space
    wait_until 10 probe_equals Closed status ||
        fail "the space bar did not press \"Disconnect FS\": status \"$(probe status)\""
    pass_note "Tab reaches the buttons, the log keeps its text, the space bar presses"

    xdotool key ctrl+k
    wait_until 60 probe_equals "Cannot link to FSUIPC or WideClient" status ||
        fail "Ctrl+K: status \"$(probe status)\""
    xdotool key ctrl+d
    wait_until 10 probe_equals Closed status || fail "Ctrl+D: status \"$(probe status)\""
    xdotool key ctrl+s
    local log="$default_logs/Navforge.log"
    wait_until 10 test -f "$log" || fail "Ctrl+S wrote no Navforge.log"
    printf 'ab\r\n' | cmp -s - "$log" || fail "Ctrl+S wrote \"$(cat -A "$log")\""
    # Before a connection the situation buttons are disabled, and so are their shortcuts.
    xdotool key ctrl+shift+s ctrl+l
    sleep 1
    no_dialog || fail "a disabled button's shortcut answered: $(probe dialog)"
    xdotool key ctrl+i
    wait_until 20 probe_equals 1 shown TFPilot || fail "Ctrl+I did not show the pilot form"
    xdotool key Escape
    wait_until 10 probe_equals 0 shown TFPilot || fail "Esc did not close the pilot form"
    pass_note "Ctrl+K, Ctrl+D, Ctrl+S and Ctrl+I act; Ctrl+Shift+S and Ctrl+L wait for a connection"

    local key
    for key in Escape alt+F4; do
        xdotool key ctrl+p
        wait_until 20 probe_equals 1 shown TFProfile || fail "Ctrl+P opened no profile window"
        xdotool key "$key"
        wait_until 10 probe_equals 0 count TFProfile || fail "$key did not close the profile window"
        probe_equals 1 count TFConnection || fail "$key on the profile window closed the program"
        pass_note "Ctrl+P opens the profile window, $key closes it"
    done
    close_program
}

# A frame as the probe gives it, "LEFT TOP WIDTH HEIGHT": true when the two overlap.
frames_overlap() {
    local al at aw ah bl bt bw bh
    read -r al at aw ah <<<"$1"
    read -r bl bt bw bh <<<"$2"
    [ "$al" -lt $((bl + bw)) ] && [ "$bl" -lt $((al + aw)) ] &&
        [ "$at" -lt $((bt + bh)) ] && [ "$bt" -lt $((at + ah)) ]
}

# A double click on a window's title bar, as a pilot maximises or restores it.
double_click_title() {
    local left top width
    read -r left top width _ <<<"$(probe rect "$1")"
    xdotool mousemove --sync $((left + width / 2)) $((top + 10))
    sleep 0.2
    xdotool click --repeat 2 --delay 80 1
    sleep 0.5
}

# The profile window opens beside the main window; both open where the pilot left them, the
# main window maximised too, with the program's own settings left as they were; a place no
# screen shows any more gives the first place. Without a window manager Wine leaves a maximised
# window at its normal size on screen: the case reads the window's state and the place it goes
# back to, not its size.
case_window_places() {
    write_config "PilotName=Jane Doe" "ID=CS042"
    local settings first_place="258 275 597 347"
    settings=$(settings_of "$config")
    start_program
    expect_probe "the main window's first place" "$first_place" rect TFConnection
    click_control $ID_PROFILE
    wait_until 20 probe_equals 1 shown TFProfile || fail "\"Flight profile\" opened no window"
    local main profile
    main=$(probe rect TFConnection)
    profile=$(probe rect TFProfile)
    ! frames_overlap "$main" "$profile" ||
        fail "the profile window ($profile) covers part of the main window ($main)"
    pass_note "the profile window opens beside the main window, at $profile"
    sleep 0.5
    screenshot window-places-beside

    probe frame TFConnection 40 30 700 420 >/dev/null
    probe frame TFProfile 760 30 500 600 >/dev/null
    double_click_title TFConnection
    wait_until 10 probe_equals 1 zoomed TFConnection ||
        fail "a double click on the title bar did not maximise the main window"
    pass_note "the main window maximises"
    xdotool key alt+F4
    wait_for_exit "$program_pid" 20 || fail "the program did not end when its window closed"
    [ "$(settings_of "$config")" = "$settings" ] ||
        fail "closing changed the settings: $(cat -A "$config")"
    pass_note "the places are kept apart from the settings"

    start_program
    expect_probe "the main window opens maximised" 1 zoomed TFConnection
    expect_probe "and goes back to where it was" "40 30 700 420" normal-rect TFConnection
    click_control $ID_PROFILE
    wait_until 20 probe_equals 1 shown TFProfile || fail "\"Flight profile\" opened no window"
    expect_probe "the profile window where it was" "760 30 500 600" rect TFProfile
    close_program

    # The main window was last on a screen that is gone.
    sed -i 's/^MainLeft=.*/MainLeft=3000\r/' "$config"
    start_program
    expect_probe "a place off every screen gives the first place" "$first_place" rect TFConnection
}

# The window's look at the landing, four times a second between its 5-second ticks, against
# fsim under Wine: a bounce of two seconds between two ticks is seen, with the G of the
# touchdown, as the logbook's row and the landing report in the status bar say.
case_landing_look() {
    mkdir -p "$work/logs"
    write_config "PilotName=Jane Doe" "ID=CS042" "Number=7" \
        "Flightdir=$(winpath "$work/logs")" "FS2k4dir=C:\\"
    start_fsim "$TEST_SOURCE_DIR/bounce-hop.scn"
    start_program
    click_control $ID_CONNECT
    wait_until 60 probe_equals Okay status || fail "status after connecting: \"$(probe status)\""
    # The 2.30 G is beyond the airline's 2.0: the report counts the rule broken.
    local report="Touchdown -380 ft/min, 2.30 G, 1 bounce; rule breaches: 1"
    wait_until 180 probe_equals "$report" status ||
        fail "the landing report in the status bar: \"$(probe status)\""
    pass_note "status bar: $report"
    local book="$work/logs/Logbook/logbook.csv"
    wait_until 120 test -f "$book" || fail "the arrival left no logbook row"
    local row
    row=$(python3 - "$book" <<'PY'
import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8-sig") as f:
    rows = list(csv.DictReader(f))
row = rows[-1]
print(row["Touchdown (ft/min)"], row["G"], row["Bounces"])
PY
)
    [ "$row" = "-380 2.30 1" ] || fail "the logbook row's touchdown, G and bounces: $row"
    pass_note "logbook row: touchdown -380 ft/min, 2.30 G, 1 bounce"
    close_program
}

# The substitute airline server on a free port of this computer; its address in $airline_url.
# Its pilot is "Zoë Pilot" of "Coralstraits Airlines (CSA)", with the key below.
airline_key=test-key-0123456789abcdef
start_airline_server() {
    [ -n "${AIRLINE_SERVER:-}" ] || fail "AIRLINE_SERVER is not set"
    local port_file="$work/airline-port"
    python3 "$AIRLINE_SERVER" --port-file "$port_file" --store "$work/airline-store.json" \
        --quiet >"$work/airline-server.log" 2>&1 &
    airline_pid=$!
    wait_until 20 test -s "$port_file" || fail "the airline server did not start"
    airline_url="http://127.0.0.1:$(cat "$port_file")"
}

airline_result_names_the_pilot() {
    [[ "$(probe text $ID_AIRLINE_RESULT)" == Zo*" Pilot, Coralstraits Airlines (CSA)" ]]
}

# The pilot form's airline rows with the substitute server: "Test" with a wrong key shows the
# server's refusal, with the right one the pilot's name and airline; "Save" keeps the address
# in the configuration and the key encrypted beside it, never as text in either file.
case_airline_form() {
    start_airline_server
    write_config "PilotName=Jane Doe"
    start_program
    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "\"Info's\" did not show the pilot form"
    expect_probe "no key stored yet" "API key" text $ID_API_KEY_LABEL

    # A refused address: a box says why, and once it is closed the keyboard is back in the
    # address's field, so that the pilot types on.
    click_control $ID_AIRLINE_SERVER
    xdotool type --delay 20 "ftp://example"
    xdotool key Return
    wait_until 10 probe dialog || fail "a refused address showed no message box"
    probe dialog | grep -qF "https://" || fail "the refusal says \"$(probe dialog)\""
    xdotool key Return
    wait_until 10 no_dialog || fail "the refusal's box did not close"
    wait_until 10 probe_focus_is $ID_AIRLINE_SERVER ||
        fail "after the refusal the keyboard is in $(probe focus), not in the address"
    xdotool key ctrl+a BackSpace
    pass_note "after a refused address the keyboard is back in its field"

    click_control $ID_AIRLINE_SERVER
    xdotool type --delay 20 "$airline_url"
    expect_probe "the address keeps its case and is typed as it is" "$airline_url" \
        text $ID_AIRLINE_SERVER
    click_control $ID_API_KEY
    xdotool type --delay 20 "wrong-key"
    click_control $ID_AIRLINE_TEST
    wait_until 30 probe_grep_result "answered 401" ||
        fail "a wrong key: \"Test\" shows \"$(probe text $ID_AIRLINE_RESULT)\""
    pass_note "a wrong key: \"$(probe text $ID_AIRLINE_RESULT)\""

    click_control $ID_API_KEY
    xdotool key ctrl+a BackSpace
    xdotool type --delay 20 "$airline_key"
    click_control $ID_AIRLINE_TEST
    wait_until 30 airline_result_names_the_pilot ||
        fail "\"Test\" shows \"$(probe text $ID_AIRLINE_RESULT)\""
    pass_note "\"Test\" names the pilot: \"$(probe text $ID_AIRLINE_RESULT)\""
    expect_probe "\"Test\" can be pressed again" 1 enabled $ID_AIRLINE_TEST
    window_screenshot airline-test TFPilot
    screenshot airline-test-screen

    click_control $ID_PILOT_SAVE
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Save\" did not close the pilot form"
    no_dialog || fail "\"Save\" reported: $(probe dialog)"
    file_contains "$config" "AirlineServer=$airline_url" ||
        fail "the configuration lacks the server: $(cat -A "$config")"
    ! grep -qF "$airline_key" "$config" || fail "the configuration holds the API key"
    local key_file="$settings_folder/airline-key.bin"
    [ -s "$key_file" ] || fail "no airline-key.bin beside the configuration"
    ! grep -qF "$airline_key" "$key_file" || fail "airline-key.bin holds the key as text"
    pass_note "the server in Aerolinker.ini, the key only encrypted in airline-key.bin"

    # Shown again: the key field empty, its label saying a key is kept.
    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "the pilot form did not show again"
    expect_probe "the kept key is only said to be there" \
        "API key (stored; type a new one to replace it)" text $ID_API_KEY_LABEL
    window_screenshot airline-stored TFPilot
    click_control $ID_PILOT_EXIT
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Exit\" did not close the pilot form"

    # The next start reads the key back and connects to the airline without a complaint.
    close_program
    start_program
    sleep 3
    no_dialog || fail "the start with an airline reported: $(probe dialog)"
    pass_note "the next start takes the stored server and key without a message"
    close_program
}

probe_grep_result() { probe text $ID_AIRLINE_RESULT | grep -qF -- "$1"; }

# The short hop filed with the airline: the pilot enters the server and the key in the pilot
# form and flies. The server ends with one filed report holding every row of the trace as a
# position, the flight's events and statuses in order and the navigation log as its notes; the
# key is nowhere as text, in no file of the prefix or of the case and not in what the program
# printed. The pilot is the airline's own, Zoë: the log holds her name in the code page, the
# report must hold it in UTF-8.
case_airline_flight() {
    start_airline_server
    open_short_hop $'Zo\xeb Pilot'
    click_control $ID_INFOS
    wait_until 20 probe_equals 1 shown TFPilot || fail "\"Info's\" did not show the pilot form"
    click_control $ID_AIRLINE_SERVER
    xdotool type --delay 20 "$airline_url"
    click_control $ID_API_KEY
    xdotool type --delay 20 "$airline_key"
    click_control $ID_PILOT_SAVE
    wait_until 10 probe_equals 0 shown TFPilot || fail "\"Save\" did not close the pilot form"

    click_control $ID_CONNECT
    wait_until 300 file_contains "$work/transcript.txt" "End of Flight!" ||
        fail "the flight was not closed; status \"$(probe status)\""
    local store="$work/airline-store.json"
    wait_until 60 report_left_progress "$store" ||
        fail "no report was filed within a minute of the arrival; status \"$(probe status)\""
    local pirep
    pirep=$( (python3 - "$store" "$work/logs/Navforge.trace.csv" "$work/logs/Navforge.log" <<'PY'
import csv, difflib, json, sys
store, trace, log = sys.argv[1:]
with open(store, encoding="utf-8") as f:
    reports = list(json.load(f)["pireps"].values())
if len(reports) != 1:
    sys.exit(f"{len(reports)} reports on the server")
report = reports[0]
with open(trace, newline="", encoding="utf-8-sig") as f:
    rows = len(list(csv.reader(f))) - 1
# The log is in the system's code page (Windows-1252 here), the report's notes in UTF-8.
with open(log, "rb") as f:
    notes = f.read().decode("cp1252")
if report.get("notes") != notes:
    diff = difflib.unified_diff(notes.splitlines(True), str(report.get("notes")).splitlines(True),
                                n=0)
    sys.exit(f"the filed report's notes are not Navforge.log: {list(diff)[3:5]}")
expected = {
    "state": 1,
    "flight_number": "1024",
    "aircraft_id": 11,
    "positions": rows,
    "events": ["Take-off", "Waypoint OLB", "Waypoint ELB", "Waypoint PRT", "Landing", "Arrival"],
    "statuses": ["INI", "OFB", "TXI", "ICL", "TKO", "ENR", "LAN", "ONB"],
}
seen = dict(report, positions=len(report.get("positions", [])),
            events=[e.get("event") for e in report.get("events", [])])
wrong = [f"{k}: {seen.get(k)!r}, not {v!r}" for k, v in expected.items() if seen.get(k) != v]
if wrong:
    sys.exit("the filed report's " + "; ".join(wrong))
print(report["id"])
PY
) 2>&1) || fail "$pirep"
    pass_note "one report filed: every trace row, the six events, the statuses, the log as notes"
    # The server answered before the program's next look at its worker's news.
    local filed="Airline: flight filed, report $pirep"
    wait_until 20 probe_equals "$filed" status-part 2 ||
        fail "the status bar's airline panel after the filing: \"$(probe status-part 2)\""
    pass_note "status bar: $filed"
    window_screenshot airline-flight-filed TFConnection
    no_dialog || fail "the airline reported: $(probe dialog)"
    close_program

    # Wine writes its registry out when its server ends.
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    # As Windows' wide text too: one byte of the key, then a zero.
    local wide="" i found
    for ((i = 0; i < ${#airline_key}; i++)); do
        wide+="${airline_key:i:1}\\x00"
    done
    found=$(grep -rlaP -- "$airline_key|$wide" "$prefix" "$work")
    [ -z "$found" ] || fail "the API key as text in: $found"
    pass_note "the key is in no file as text, nor in what the program printed"
}

# Whether the server holds a report no longer in progress.
report_left_progress() {
    python3 -c 'import json, sys
sys.exit(not any(p["state"] for p in json.load(open(sys.argv[1]))["pireps"].values()))' "$1"
}

start_display
prepare_prefix
case "$case_name" in
    first-start) case_first_start ;;
    no-server) case_no_server ;;
    flight) case_flight ;;
    resume) case_resume ;;
    lost-link) case_lost_link ;;
    no-plan) case_no_plan ;;
    save-generated) case_save_generated ;;
    second-copy) case_second_copy ;;
    pilot-form) case_pilot_form ;;
    save-refused) case_save_refused ;;
    standard-user) case_standard_user ;;
    keyboard) case_keyboard ;;
    window-places) case_window_places ;;
    sim-restart) case_sim_restart ;;
    save-failure) case_save_failure ;;
    fsim-chooser) case_fsim_chooser ;;
    landing-look) case_landing_look ;;
    airline-form) case_airline_form ;;
    airline-flight) case_airline_flight ;;
    *)
        echo "gui_test: unknown case $case_name" >&2
        exit 2
        ;;
esac
echo "PASS [$case_name]"
