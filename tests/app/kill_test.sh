#!/usr/bin/env bash
# Kills the console host at every replacement of a file during the LIEO-LIRQ flight (the new
# bytes written and flushed, the old file still in place) and before the logbook's row is
# written, resumes with a second run, and compares: from the first situation save on, the
# resumed flight closes with the log of the flight without a break and one logbook entry; before
# it, the resume finds nothing saved and changes nothing. No temporary of a killed save
# survives the second run.
# Usage: kill_test.sh CONSOLE SOURCE_DIR
set -u
console=$1
scenario=$2/scenarios/lieo-lirq.scn
# shellcheck source=tests/app/console_test_support.sh
source "$(dirname "$0")/console_test_support.sh"

fly() {  # fly HOME [options...]
    local home=$1
    shift
    "$console" --windows-folder "$home/windows" --log-folder "$home/logs" \
        --flights-folder "$home/flights" --tick-ms 0 --scenario "$scenario" "$@"
}

# What the program leaves in its own folders, as one text to compare. The settings folder
# counts once it holds the settings: a run killed before it took the older copy's file over
# leaves the take-over to the next start, which is no change of the resume's.
state_of() {
    local folders=(logs windows)
    [ -f "$1/settings/Aerolinker.ini" ] && folders+=(settings)
    (cd "$1" && find "${folders[@]}" -type f -print0 | sort -z | xargs -0 sha256sum)
}

# The logbook entries in HOME, when each has its five files and one row in logbook.csv (the
# row is written last); fails on an unfinished or unlisted entry.
logbook_entries() {
    local folder=$1/logs/Logbook log name extension count=0
    for log in "$folder"/*.log; do
        [ -f "$log" ] || continue
        name=$(basename "$log" .log)
        for extension in csv kml gpx svg; do
            [ -f "$folder/$name.$extension" ] || return 1
        done
        [ "$(grep -cF ",$name"$'\r' "$folder/logbook.csv")" -eq 1 ] || return 1
        count=$((count + 1))
    done
    [ "$(($(wc -l <"$folder/logbook.csv") - 1))" -eq "$count" ] || return 1
    echo "$count"
}

straight=$(new_home straight)
AEROLINKER_STEPS=1 fly "$straight" >"$work/straight.out" 2>"$work/steps"
check "the flight without a break closes" test $? -eq 0
steps=$(grep -c '^step ' "$work/steps")
first_situation=$(grep -m1 'Navforge.situation$' "$work/steps" | sed 's/^step \([0-9]*\):.*/\1/')
check "the flight has steps to kill at" test "$steps" -gt 10
check "the flight saves a situation" test -n "$first_situation"

for step in $(seq 1 "$steps"); do
    home=$(new_home "kill-$step")
    AEROLINKER_KILL_AT_STEP=$step fly "$home" >"$work/kill-$step.out" 2>&1
    check "step $step: the first run is killed" test $? -eq 137
    before=$(state_of "$home")
    fly "$home" --resume >"$work/resume-$step.out" 2>&1
    code=$?
    if [ "$step" -le "$first_situation" ]; then
        check "step $step: nothing saved yet" test $code -eq 2
        check "step $step: says so" grep -q "There is no saved flight to resume." \
            "$work/resume-$step.out"
        local_filter='\.tmp'
        grep -q 'settings/' <<<"$before" || local_filter='\.tmp\|settings/'
        check "step $step: changes nothing" test "$(state_of "$home" | grep -v "$local_filter")" = \
            "$(grep -v "$local_filter" <<<"$before")"
    else
        check "step $step: the connect offers the unfinished flight" \
            grep -q "^question: *An unfinished flight" "$work/resume-$step.out"
        check "step $step: the resumed flight closes" test $code -eq 0
        check "step $step: its log equals the flight without a break" \
            cmp -s "$home/logs/Navforge.log" "$straight/logs/Navforge.log"
        # Killed in its closing (the entry's files, its row, the situation marked closed), the
        # flight is resumed and closed once more: still one entry and one row.
        entries=$(logbook_entries "$home")
        check "step $step: the logbook holds the flight once, complete" test "$entries" = 1
        # Its record is the one of the flight without a break: times, fuel, distance, the
        # landing report, the honest time.
        check "step $step: its logbook row equals the flight without a break" \
            cmp -s "$home/logs/Logbook/logbook.csv" "$straight/logs/Logbook/logbook.csv"
    fi
    check "step $step: no temporary left" \
        test -z "$(find "$home/logs" "$home/windows" "$home/settings" -name '*.tmp*')"
done

# Killed just after the first situation save, resumed and closed in flight before the next
# save, resumed again: the trace is the one of the flight without a break, but for at most the
# row of the save's own tick, which the stop kept from the file. No row comes twice.
for step in $(seq "$((first_situation + 1))" "$((first_situation + 3))"); do
    home=$(new_home "twice-$step")
    AEROLINKER_KILL_AT_STEP=$step fly "$home" >"$work/twice-$step.out" 2>&1
    fly "$home" --resume --stop-after-waypoints 1 >>"$work/twice-$step.out" 2>&1
    fly "$home" --resume >>"$work/twice-$step.out" 2>&1
    check "resumed twice, step $step: the flight closes with the same log" \
        cmp -s "$home/logs/Navforge.log" "$straight/logs/Navforge.log"
    diff "$straight/logs/Navforge.trace.csv" "$home/logs/Navforge.trace.csv" >"$work/twice.diff"
    check "resumed twice, step $step: no trace row added" test "$(grep -c '^>' "$work/twice.diff")" -eq 0
    check "resumed twice, step $step: at most one row missing" \
        test "$(grep -c '^<' "$work/twice.diff")" -le 1
done

report "$steps kill points"
