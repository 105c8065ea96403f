#!/usr/bin/env bash
# Runs aerolinker-console as a pilot would: whole flights, an interrupted flight resumed by a
# second run, and each way it can fail, with the exit code and the message of each.
# Usage: console_host_test.sh CONSOLE SOURCE_DIR
set -u
console=$1
source_dir=$2
scenarios=$source_dir/scenarios
expected=$source_dir/tests/app/expected
# shellcheck source=tests/app/console_test_support.sh
source "$(dirname "$0")/console_test_support.sh"

fly() {  # fly HOME [options...]: runs the console host with the home's folders
    local home=$1
    shift
    "$console" --windows-folder "$home/windows" --log-folder "$home/logs" \
        --flights-folder "$home/flights" --tick-ms 0 "$@"
}

# The expected log with today's date, as the console's clock gives it.
expected_today() {
    sed "s|^Date           : .*|Date           : $(date +%d/%m/%Y)\r|" "$expected/lieo-lirq.log"
}

# A whole flight: exit 0, the events in order, the log as expected, byte for byte.
home=$(new_home straight)
fly "$home" --scenario "$scenarios/lieo-lirq.scn" >"$work/straight.out" 2>&1
check "whole flight exits 0" test $? -eq 0
check "events in order" bash -c "grep -E '^(engine start|take-off|waypoint|landing|arrival):' \
    '$work/straight.out' | cut -d: -f1 | tr '\n' ' ' | grep -qx \
    'engine start take-off waypoint waypoint waypoint landing arrival '"
check "log equals the LIEO-LIRQ log" cmp -s "$home/logs/Navforge.log" <(expected_today)

# Its logbook entry: the console prints the landing report and each file; the log copy is the
# log, the KML, GPX and CSVs read as their formats have it, and the profile renders.
entry=$(sed -n 's|^logbook: *\(.*\)\.kml$|\1|p' "$work/straight.out")
check "landing report printed" grep -qx \
    'landing report: Touchdown -210 ft/min, 1.18 G, 0 bounces' "$work/straight.out"
check "entry named by the simulator's UTC date, take-off and route" \
    test "$(basename "$entry")" = "2026-12-06_1005_LIEO-LIRQ"
check "entry's log is the flight's log" cmp -s "$entry.log" "$home/logs/Navforge.log"
check "entry's files read as their formats" python3 "$source_dir/tests/app/logbook_entry_check.py" \
    "$entry"
if command -v rsvg-convert >/dev/null; then
    check "the profile renders with librsvg" rsvg-convert -o "$work/profile-rsvg.png" "$entry.svg"
else
    echo "SKIPPED: the profile's rendering by rsvg-convert (librsvg2-bin is not installed)"
fi
if command -v convert >/dev/null; then
    check "the profile renders" convert "$entry.svg" "$work/profile.png"
    check "the rendered profile is 800 x 400" \
        test "$(identify -format '%wx%h' "$work/profile.png")" = "800x400"
else
    echo "SKIPPED: the profile's rendering (ImageMagick's convert is not installed)"
fi

# Interrupted after the fourth registration (PRT, which saves the situation), then resumed by
# a second run: the same log as the flight without a break.
home=$(new_home resumed)
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --stop-after-waypoints 3 \
    >"$work/first.out" 2>&1
check "interrupted run exits 0" test $? -eq 0
check "interrupted run ended in flight" grep -q '^closed:' "$work/first.out"
check "interrupted run left no arrival" bash -c "! grep -q '^arrival:' '$work/first.out'"
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --resume >"$work/second.out" 2>&1
check "resumed run exits 0" test $? -eq 0
check "resumed run resumed" grep -q '^resumed:' "$work/second.out"
check "resumed run records no second engine start" \
    bash -c "! grep -q '^engine start:' '$work/second.out'"
check "resumed log equals the straight one" cmp -s "$home/logs/Navforge.log" \
    "$work/straight/logs/Navforge.log"

# Interrupted after the second registration (ELB). The situation keeps every digit of what
# remained, so the resumed log equals the straight one to the last row.
home=$(new_home resumed-early)
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --stop-after-waypoints 1 \
    >"$work/early1.out" 2>&1
check "early interruption exits 0" test $? -eq 0
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --resume >"$work/early2.out" 2>&1
check "early resume exits 0" test $? -eq 0
check "early resume equals the straight one" cmp -s "$home/logs/Navforge.log" \
    "$work/straight/logs/Navforge.log"
check "the straight log has the row replaced above" \
    grep -q '^PRT     |     |      |     |       |       |032/0022|00:17|11:07|' \
    "$work/straight/logs/Navforge.log"

# The simulator hangs in the cruise for three of the program's ticks (ten tries each): the
# status says so, then "Okay" again, and the flight goes on to the same log and trace.
home=$(new_home hang)
sed '/^frame 36    # 10:32/a hang 30' "$scenarios/lieo-lirq.scn" >"$work/hang.scn"
fly "$home" --scenario "$work/hang.scn" >"$work/hang.out" 2>&1
check "a flight with a hang exits 0" test $? -eq 0
check "the status shows the hang, then Okay" bash -c "grep '^status:' '$work/hang.out' |
    grep -A1 -m1 'IPC timed out all retries' | tail -n 1 | grep -qx 'status: *Okay'"
check "the hang lost no tick of the flight" cmp -s "$home/logs/Navforge.log" \
    "$work/straight/logs/Navforge.log"
check "nor a row of its trace" cmp -s "$home/logs/Navforge.trace.csv" \
    "$work/straight/logs/Navforge.trace.csv"

# No flight plan in the GPS.
home=$(new_home noplan)
fly "$home" --scenario "$scenarios/no-flight-plan.scn" >"$work/noplan.out" 2>&1
code=$?
check "no plan exits 2" test $code -eq 2
check "no plan says so" grep -q "no flight plan is loaded" "$work/noplan.out"
check "no plan shows the warning" grep -q "Not Plan. Attention!" "$work/noplan.out"

# No simulator at all.
home=$(new_home nosim)
fly "$home" --no-simulator >"$work/nosim.out" 2>&1
check "no simulator exits 2" test $? -eq 2
check "no simulator shows the link's text" \
    grep -q "Cannot link to FSUIPC or WideClient" "$work/nosim.out"

# A malformed scenario is refused with its line and reason before anything plays.
printf 'title "X"\nwaypoint_count 3\nframe\nclock 25:00\n' >"$work/bad.scn"
home=$(new_home bad)
fly "$home" --scenario "$work/bad.scn" >"$work/bad.out" 2>&1
check "malformed scenario exits 2" test $? -eq 2
check "malformed scenario names the line" grep -q "line 4: " "$work/bad.out"
check "malformed scenario did not connect" bash -c "! grep -q '^status:' '$work/bad.out'"

# An unreadable scenario file is named with the system's reason, not as a line of it.
fly "$home" --scenario "$work/missing.scn" >"$work/missing.out" 2>&1
check "missing scenario exits 2" test $? -eq 2
check "missing scenario gives the reason" grep -q \
    "cannot fly the scenario $work/missing.scn: cannot read the file: " "$work/missing.out"
check "missing scenario is no line of it" bash -c "! grep -q 'line 0' '$work/missing.out'"

# A command line that makes no sense: exit 1, the option and its bad value named, and the
# usage, before anything is flown. Each row: the message, then the arguments.
while IFS='|' read -r message args; do
    # shellcheck disable=SC2086 # the arguments are words of the row
    "$console" $args >"$work/usage.out" 2>&1
    code=$?
    check "'$args' exits 1" test $code -eq 1
    check "'$args' says: $message" grep -qF "aerolinker-console: $message" "$work/usage.out"
    check "'$args' shows the usage" grep -q -- "--stop-after-waypoints N" "$work/usage.out"
done <<'ROWS'
--tick-ms: "abc" is not a whole number|--tick-ms abc
--tick-ms: "5s" is not a whole number|--tick-ms 5s
--tick-ms: -5 is below 0|--tick-ms -5
--stop-after-waypoints: "x" is not a whole number|--stop-after-waypoints x
--stop-after-waypoints: 99999999999 is out of range|--stop-after-waypoints 99999999999
--decimal: takes one character, not ",,"|--decimal ,,
--tick-ms: 1 required N missing|--tick-ms
The following argument was not expected: --verbose|--verbose
ROWS

# --help lists every option and exits 0.
"$console" --help >"$work/help.out" 2>&1
check "--help exits 0" test $? -eq 0
for option in --scenario --log-folder --windows-folder --flights-folder --tick-ms --decimal \
    --time-separator --date-separator --resume --new-flight --stop-after-waypoints --wideclient \
    --no-simulator; do
    check "--help lists $option" grep -q -- "  $option" "$work/help.out"
done

# The log folder as a pilot may name it: one not made yet is made at the connect with the
# folders above it; one that cannot be made (a file stands in its way) is reported at the
# connect, before the flight starts, and the flight is tracked to its end all the same, every
# save failing, the run saying that its log was not saved and not as if it were.
home=$(new_home new-folder)
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --log-folder "$home/new/logs" \
    >"$work/new-folder.out" 2>&1
check "a log folder not made yet: exits 0" test $? -eq 0
check "a log folder not made yet: is made, and holds the log" \
    cmp -s "$home/new/logs/Navforge.log" <(expected_today)

home=$(new_home blocked)
touch "$home/a-file"
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --log-folder "$home/a-file/logs" \
    >"$work/blocked.out" 2>&1
check "a log folder that cannot be made: exits 5" test $? -eq 5
check "a log folder that cannot be made: still tracks to the arrival" \
    grep -q '^arrival:' "$work/blocked.out"
check "a log folder that cannot be made: is reported before the flight starts" \
    bash -c "grep -E -m1 '^(error|flight):' '$work/blocked.out' | grep -qF \
        'error:         The log folder $home/a-file/logs cannot be created: '"
# The kinds: the log (its folder's report), the situation, the flight recorder's trace and the
# logbook entry, each once.
check "a log folder that cannot be made: one box per kind of save" \
    test "$(grep -c '^error:' "$work/blocked.out")" -eq 4
check "a log folder that cannot be made: no log file said saved" \
    bash -c "! grep -q '^log file:' '$work/blocked.out'"
check "a log folder that cannot be made: the closing names the log's failure" grep -qF \
    "the flight closed; its log was not saved, its logbook entry not written: Log save failed: \
Cannot create file \"$home/a-file/logs/Navforge.log\"" "$work/blocked.out"

# Runs the console host as fly does, FOLDER mounted read-only over itself in a mount namespace
# of the run's own (root ignores file modes, not a read-only mount; the mount goes with the run
# however it ends). Exits 77 where mounts are not permitted.
fly_read_only() {  # fly_read_only FOLDER HOME [options...]
    if [ "$(id -u)" -ne 0 ] || ! unshare --mount true 2>/dev/null; then
        return 77
    fi
    # shellcheck disable=SC2016 # expanded by the shell in the namespace
    unshare --mount --propagation private bash -c \
        'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" || exit 77; shift; fly "$@"' \
        _ "$@"
}
export -f fly
export console

# A read-only Logbook folder: the log is saved and said so; the logbook entry is not, and the
# run says which, with the reason.
home=$(new_home read-only-logbook)
mkdir "$home/logs/Logbook"
fly_read_only "$home/logs/Logbook" "$home" --scenario "$scenarios/lieo-lirq.scn" \
    >"$work/read-only-logbook.out" 2>&1
code=$?
if [ $code -eq 77 ]; then
    echo "SKIPPED: the read-only Logbook folder (mounts are not permitted here)"
else
    check "read-only Logbook: exits 5" test $code -eq 5
    check "read-only Logbook: the log is saved" cmp -s "$home/logs/Navforge.log" <(expected_today)
    check "read-only Logbook: the log is said saved" \
        grep -qx "log file: *$home/logs/Navforge.log" "$work/read-only-logbook.out"
    check "read-only Logbook: the entry is said not written, and why" grep -qE \
        "its log was saved, its logbook entry not written: Logbook entry failed: .*Read-only" \
        "$work/read-only-logbook.out"
fi

# The log cannot be saved over the last flight's (held read-only here): the entry's copy of
# the log is this flight's, not the last flight's file.
home=$(new_home unsaved-log)
fly "$home" --scenario "$scenarios/lieo-lirq.scn" >/dev/null 2>&1
fly_read_only "$home/logs/Navforge.log" "$home" --scenario "$scenarios/egkk-eghi.scn" \
    --new-flight >"$work/unsaved-log.out" 2>&1
if [ $? -eq 77 ]; then
    echo "SKIPPED: the log that cannot be saved (mounts are not permitted here)"
else
    entry=$(sed -n 's|^logbook: *\(.*\)\.log$|\1|p' "$work/unsaved-log.out")
    check "an unsaved log: the failure is said" grep -q "Log save failed" "$work/unsaved-log.out"
    check "an unsaved log: the entry's copy is this flight's log" bash -c \
        "grep -q 'EGKK' '$entry.log' && ! grep -q 'LIEO' '$entry.log'"
fi

# The program joins its paths with a backslash on every platform; this host prints them with
# its own separator, in events, messages and errors alike.
check "no backslash in what the flights printed" test -z "$(grep -lF "\\" \
    "$work"/{straight,first,second,new-folder,blocked,read-only-logbook}.out)"

# Regional settings "," and ".".
home=$(new_home comma)
fly "$home" --scenario "$scenarios/lieo-lirq.scn" --decimal , --time-separator . \
    --date-separator . >"$work/comma.out" 2>&1
check "comma flight exits 0" test $? -eq 0
check "comma flight uses the separators" grep -q '| 11.30 | 320/8|12,5 mi     |' \
    "$home/logs/Navforge.log"

report ""
