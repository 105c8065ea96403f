#!/usr/bin/env bash
# The LIEO-LIRQ flight filed with the substitute airline server, killed at chosen replacements
# of a file (the flight's saves and the outbox's, on either thread) after its first situation
# save, and resumed by a second run: the server ends with one report, filed, with every trace
# row once as a position and the flight's events and statuses once each. A run killed in the
# middle of the sending leaves it in the outbox, and the resumed run sends it.
# Usage: airline_kill_test.sh CONSOLE SOURCE_DIR
set -u
console=$1
source_dir=$2
scenario=$source_dir/scenarios/lieo-lirq.scn
# shellcheck source=tests/app/console_test_support.sh
source "$source_dir/tests/app/console_test_support.sh"
# How many kill points the run samples, spread over the flight.
kill_points=${AIRLINE_KILL_POINTS:-20}

server_log=$work/server.log
python3 "$source_dir/src/sim/airline/airline_server.py" --port-file "$work/port" --quiet \
    >"$server_log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
base="http://127.0.0.1:$(cat "$work/port")"
key_file=$work/api-key
printf 'test-key-0123456789abcdef\n' >"$key_file"
chmod 600 "$key_file"

fly() {  # fly HOME [options...]
    local home=$1
    shift
    "$console" --windows-folder "$home/windows" --log-folder "$home/logs" \
        --flights-folder "$home/flights" --tick-ms 0 --scenario "$scenario" \
        --airline-server "$base" --api-key-file "$key_file" --airline-retry-ms 50 \
        --airline-wait 60 "$@"
}

control() {  # control PATH [BODY]: a control route of the server
    python3 - "$base/_control/$1" "${2:-"{}"}" <<'EOF'
import sys, urllib.request
print(urllib.request.urlopen(urllib.request.Request(sys.argv[1], data=sys.argv[2].encode(), method="POST" if not sys.argv[1].endswith("/store") else "GET")).read().decode())
EOF
}

# The store holds exactly the flight of HOME: one report, filed; one position per trace row,
# in order with the trace's positions; the six events and the statuses once each.
store_holds_the_flight() {
    python3 - "$base/_control/store" "$1/logs/Navforge.trace.csv" <<'EOF'
import csv, json, sys, urllib.request
store = json.loads(urllib.request.urlopen(sys.argv[1]).read().decode())
pireps = list(store["pireps"].values())
assert len(pireps) == 1, f"{len(pireps)} reports"
p = pireps[0]
assert p["state"] == 1, f"state {p['state']}"
with open(sys.argv[2], newline="", encoding="utf-8-sig") as f:
    rows = list(csv.reader(f))[1:]
positions = p["positions"]
assert len(positions) == len(rows), f"{len(positions)} positions for {len(rows)} rows"
for i, (position, row) in enumerate(zip(positions, rows)):
    assert position["id"] == f"{p['id']}-p{i}", position["id"]
events = [e["event"] for e in p["events"]]
assert events == ["Take-off", "Waypoint OLB", "Waypoint ELB", "Waypoint PRT", "Landing",
                  "Arrival"], events
assert p["statuses"] == ["INI", "OFB", "TXI", "TOF", "ICL", "TKO", "ENR", "TEN", "FIN", "LAN", "ONB"], p["statuses"]
EOF
}

straight=$(new_home straight)
AEROLINKER_STEPS=1 fly "$straight" >"$work/straight.out" 2>"$work/steps"
check "the flight without a break closes" test $? -eq 0
check "and is filed" grep -q '^airline: *filed, report' "$work/straight.out"
check "the server holds it once" store_holds_the_flight "$straight"
# The key is in no file the program wrote and in none of what it printed.
check "the API key is nowhere but its file" \
    test -z "$(grep -rlF "$(cat "$key_file")" "$straight" "$work/straight.out" "$work/steps")"
steps=$(grep -c '^step ' "$work/steps")
first_situation=$(grep -m1 'Navforge.situation$' "$work/steps" | sed 's/^step \([0-9]*\):.*/\1/')
check "the flight saves into the outbox" grep -q 'Outbox' "$work/steps"

# Kill points spread evenly from the first situation save to the end.
count=0
for step in $(seq "$((first_situation + 1))" "$(((steps - first_situation) / kill_points + 1))" \
    "$((steps - 2))"); do
    count=$((count + 1))
    control reset >/dev/null
    home=$(new_home "kill-$step")
    AEROLINKER_KILL_AT_STEP=$step fly "$home" >"$work/kill-$step.out" 2>&1
    code=$?
    # The airline worker's saves interleave with the flight's, so a step's number can fall
    # before the first situation save in one run and after it in another, or past the last
    # step of a run that saved less: such a point has no flight to resume, and is not one of
    # this test's.
    if [ $code -eq 0 ] || [ ! -f "$home/logs/Navforge.situation" ]; then
        count=$((count - 1))
        continue
    fi
    check "step $step: the first run is killed" test $code -eq 137
    fly "$home" --resume >"$work/resume-$step.out" 2>&1
    check "step $step: the resumed flight closes" test $? -eq 0
    check "step $step: and is filed" grep -q '^airline: *filed, report' "$work/resume-$step.out"
    check "step $step: the server holds the flight once" store_holds_the_flight "$home"
    check "step $step: nothing left in the outbox" \
        test -z "$(find "$home/logs/Outbox" -name '0*.json' 2>/dev/null)"
done

# The server answers nothing until the flight's first save has gone by, so that save holds no
# report; the resumed flight asks for its report and is killed before it saves again, at each
# step from its first request written to its first save. Resumed once more, it goes on in the
# report it asked for: the server never holds a second one. Every other time the bids come only
# after the resumed flight's arrival, which then finds its report by its off-block time.
control reset >/dev/null
control fault '{"mode": "drop", "count": -1}' >/dev/null
late=$(new_home late-bids)
fly "$late" --stop-after-waypoints 1 >"$work/late-bids.out" 2>&1
control clear-faults >/dev/null
cp -a "$late" "$work/late-bids-saved"
AEROLINKER_STEPS=1 fly "$late" --resume >"$work/late-bids-straight.out" 2>"$work/late-steps"
check "late bids: the resumed flight is filed" store_holds_the_flight "$late"
first_request=$(grep -m1 'Outbox' "$work/late-steps" | sed 's/^step \([0-9]*\):.*/\1/')
first_save=$(grep -m1 'Navforge.situation$' "$work/late-steps" | sed 's/^step \([0-9]*\):.*/\1/')
late_points=0
for step in $(seq "$first_request" "$(((first_save - first_request) / 6 + 1))" "$first_save"); do
    control reset >/dev/null
    rm -rf "$late" && cp -a "$work/late-bids-saved" "$late"
    AEROLINKER_KILL_AT_STEP=$step fly "$late" --resume >"$work/late-kill-$step.out" 2>&1
    [ $? -eq 137 ] || continue
    late_points=$((late_points + 1))
    if [ $((late_points % 2)) -eq 0 ]; then
        control fault '{"mode": "slow", "seconds": 8, "count": 1, "path": "/api/user/bids"}' \
            >/dev/null
    fi
    fly "$late" --resume >"$work/late-resume-$step.out" 2>&1
    check "late bids, step $step: the server holds the flight once" store_holds_the_flight "$late"
done
check "late bids: the runs were killed between the request and the save" test "$late_points" -gt 2

report "$count kill points of $steps steps, $late_points after late bids"
