# What the console host's test scripts share: a work folder that goes at the end, the checks
# with their count, and a home of folders for one run of the program. Sourced, not run.
# shellcheck shell=bash

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0

check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAILED: $name" >&2
        failures=$((failures + 1))
    fi
}

# The pilot profile of the LIEO-LIRQ log, in a stand-in Windows folder of its own (taken over
# into the settings folder beside it at the first start).
new_home() {
    local home=$work/$1
    mkdir -p "$home/windows" "$home/logs" "$home/flights"
    printf '[Aerolinker]\r\nPilotName=Test Pilot\r\nID=XY123\r\nNumber=17\r\n' \
        >"$home/windows/Aerolinker.ini"
    echo "$home"
}

# The checks' count, and the script's exit status.
report() {
    echo "$passed passed, $failures failed${1:+ ($1)}"
    [ "$failures" -eq 0 ]
}
