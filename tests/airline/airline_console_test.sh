#!/usr/bin/env bash
# The console host filing the LIEO-LIRQ flight as a pilot sets it up: over HTTPS with a
# certificate authority of the test's own (filed), with a certificate for another name (refused:
# the flight closes and waits in the outbox), and the addresses and key files the
# program refuses before it flies.
# Usage: airline_console_test.sh CONSOLE SOURCE_DIR
set -u
console=$1
source_dir=$2
scenario=$source_dir/scenarios/lieo-lirq.scn
# shellcheck source=tests/app/console_test_support.sh
source "$source_dir/tests/app/console_test_support.sh"
key=test-key-0123456789abcdef

# A throwaway certificate authority, and server certificates signed by it for two names.
tls=$work/tls
mkdir -p "$tls"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tls/ca.key" -out "$tls/ca.pem" -days 2 \
    -subj /CN=Aerolinker-test-CA >/dev/null 2>&1
for name in localhost other.example; do
    openssl req -newkey rsa:2048 -nodes -keyout "$tls/$name.key" -out "$tls/$name.csr" \
        -subj "/CN=$name" >/dev/null 2>&1
    printf 'subjectAltName=DNS:%s\n' "$name" >"$tls/$name.ext"
    openssl x509 -req -in "$tls/$name.csr" -CA "$tls/ca.pem" -CAkey "$tls/ca.key" \
        -CAcreateserial -out "$tls/$name.pem" -days 2 -extfile "$tls/$name.ext" >/dev/null 2>&1
done
check "the test's certificates are made" test -s "$tls/localhost.pem" -a -s "$tls/other.example.pem"

servers=()
trap 'kill "${servers[@]}" $(cat "$work"/*.pid 2>/dev/null) 2>/dev/null; rm -rf "$work"' EXIT
serve() {  # serve NAME: an HTTPS airline server with NAME's certificate; prints its port
    python3 "$source_dir/src/sim/airline/airline_server.py" --port-file "$work/$1.port" --quiet \
        --tls-cert "$tls/$1.pem" --tls-key "$tls/$1.key" >/dev/null 2>&1 &
    # Called as $(serve NAME): the array lives in a subshell, the pid file does not.
    echo $! >"$work/$1.pid"
    for _ in $(seq 100); do [ -s "$work/$1.port" ] && break; sleep 0.05; done
    cat "$work/$1.port"
}

fly() {  # fly HOME [options...]
    local home=$1
    shift
    "$console" --windows-folder "$home/windows" --log-folder "$home/logs" \
        --flights-folder "$home/flights" --tick-ms 0 --scenario "$scenario" "$@"
}

# Over HTTPS, the key from the environment as pasted, with a line break after it: filed.
port=$(serve localhost)
home=$(new_home https)
AEROLINKER_API_KEY="$key"$'\r\n' fly "$home" --airline-server "https://localhost:$port" \
    --airline-ca-file "$tls/ca.pem" >"$work/https.out" 2>&1
check "https: the flight closes" test $? -eq 0
check "https: and is filed" grep -q '^airline: *filed, report' "$work/https.out"

# A certificate for another name: refused, and the flight closes as always, not filed: its bids
# were never read, so it waits whole in the outbox.
port=$(serve other.example)
home=$(new_home wrong-name)
AEROLINKER_API_KEY=$key fly "$home" --airline-server "https://localhost:$port" \
    --airline-ca-file "$tls/ca.pem" --airline-wait 2 >"$work/wrong-name.out" 2>&1
check "another name: the flight closes" test $? -eq 0
check "another name: not filed, the certificate refused" \
    grep -q "^airline: *not filed yet (.*the server's certificate was refused.*waits in" \
    "$work/wrong-name.out"

# The server takes the bids, then drops every request of the report for the whole flight: the
# report waits in the outbox, and the next start of the program, even without a simulator to
# fly, sends it once the server takes it again.
python3 "$source_dir/src/sim/airline/airline_server.py" --port-file "$work/down.port" --quiet \
    --store "$work/restart.json" >/dev/null 2>&1 &
servers+=($!)
for _ in $(seq 100); do [ -s "$work/down.port" ] && break; sleep 0.05; done
port=$(cat "$work/down.port")
control() {  # control ROUTE JSON
    python3 -c 'import sys, urllib.request
urllib.request.urlopen(urllib.request.Request(sys.argv[1], data=sys.argv[2].encode(),
                                              method="POST")).read()' \
        "http://127.0.0.1:$port/_control/$1" "$2"
}
control fault '{"mode": "drop", "count": -1, "path": "/api/pireps"}'
home=$(new_home restart)
AEROLINKER_API_KEY=$key fly "$home" --airline-server "http://127.0.0.1:$port" \
    --airline-retry-ms 50 --airline-wait 1 >"$work/down.out" 2>&1
check "down: the flight closes" test $? -eq 0
check "down: the report waits" grep -q '^airline: *not filed yet' "$work/down.out"
control clear-faults '{}'
AEROLINKER_API_KEY=$key fly "$home" --no-simulator --airline-server "http://127.0.0.1:$port" \
    >"$work/restart.out" 2>&1
check "back: what waited is filed" grep -q '^airline: *Airline: flight filed, report' \
    "$work/restart.out"
check "back: the first run's logbook row says filed, with the report" grep -qE \
    ',[A-Za-z0-9]{16},filed,2026-12-06_1005_LIEO-LIRQ' "$home/logs/Logbook/logbook.csv"
check "back: one report, filed, every row" python3 - "$work/restart.json" \
    "$home/logs/Navforge.trace.csv" <<'EOF'
import json, sys
pireps = list(json.load(open(sys.argv[1]))["pireps"].values())
rows = sum(1 for _ in open(sys.argv[2], encoding="utf-8-sig")) - 1
assert len(pireps) == 1 and pireps[0]["state"] == 1, pireps
assert len(pireps[0]["positions"]) == rows, (len(pireps[0]["positions"]), rows)
EOF

# The server answers nothing until the flight has been saved and the program closed; the
# flight resumed with the server back is filed, its bids read only then.
control fault '{"mode": "drop", "count": -1}'
home=$(new_home late-bids)
AEROLINKER_API_KEY=$key fly "$home" --airline-server "http://127.0.0.1:$port" \
    --airline-retry-ms 50 --stop-after-waypoints 1 >"$work/late-bids-1.out" 2>&1
control clear-faults '{}'
AEROLINKER_API_KEY=$key fly "$home" --airline-server "http://127.0.0.1:$port" \
    --airline-retry-ms 50 --resume >"$work/late-bids-2.out" 2>&1
check "bids read after a resume: the flight is filed" grep -q '^airline: *filed, report' \
    "$work/late-bids-2.out"

# No server at all from the start (nothing listens on this computer's port 9): the bids are
# never read, and the flight that arrived waits whole in the outbox for a server that answers.
home=$(new_home no-server)
AEROLINKER_API_KEY=$key fly "$home" --airline-server "http://127.0.0.1:9" \
    --airline-retry-ms 50 --airline-wait 1 >"$work/no-server.out" 2>&1
check "no server: the flight closes" test $? -eq 0
check "no server: not filed yet, and the flight waits" bash -c \
    "grep -q '^airline: *not filed yet (.*); what is left waits in' '$work/no-server.out' &&
     ls -d '$home'/logs/Outbox/*-LIEO-LIRQ-nobid"

# The bids are slow to come: the flight arrives first and waits whole in the outbox, then the
# airline refuses it, having no bid from LIEO. The summary says so.
python3 - "$source_dir/src/sim/airline/default_airline.json" "$work/no-lieo.json" <<'EOF'
import json, sys
data = json.load(open(sys.argv[1], encoding="utf-8"))
for bid in data["bids"]:
    bid["dpt_airport_id"] = "EGKK"
json.dump(data, open(sys.argv[2], "w", encoding="utf-8"))
EOF
python3 "$source_dir/src/sim/airline/airline_server.py" --port-file "$work/no-lieo.port" --quiet \
    --data "$work/no-lieo.json" >/dev/null 2>&1 &
servers+=($!)
for _ in $(seq 100); do [ -s "$work/no-lieo.port" ] && break; sleep 0.05; done
port=$(cat "$work/no-lieo.port")
control fault '{"mode": "slow", "seconds": 3, "count": 1, "path": "/api/user/bids"}'
home=$(new_home no-lieo)
AEROLINKER_API_KEY=$key fly "$home" --airline-server "http://127.0.0.1:$port" \
    --airline-retry-ms 50 --airline-wait 20 >"$work/no-lieo.out" 2>&1
check "no bid from LIEO: the flight closes" test $? -eq 0
check "no bid from LIEO: not filed, and why" \
    grep -q '^airline: *not filed: no bid departs from LIEO$' "$work/no-lieo.out"

# Refused before the flight: plain http to another computer, a key file others can read.
refused() {  # refused NAME MESSAGE [options...]: exit 1 naming MESSAGE, nothing flown
    local name=$1 message=$2 home
    shift 2
    home=$(new_home "$name")
    fly "$home" "$@" >"$work/$name.out" 2>&1
    check "$name: refused" test $? -eq 1
    check "$name: says why" grep -qF "$message" "$work/$name.out"
    check "$name: flies nothing" test ! -e "$home/logs/Navforge.log"
}
printf '%s\n' "$key" >"$work/open-key"
chmod 644 "$work/open-key"
printf '%s\n' "$key" >"$work/key"
chmod 600 "$work/key"
refused plain-http "must start with https://" \
    --airline-server http://192.0.2.1 --api-key-file "$work/key"
refused open-key-file "readable by its owner only" \
    --airline-server "https://localhost:$port" --api-key-file "$work/open-key"
refused no-key "no API key" --airline-server "https://localhost:$port"
refused missing-key-file "no API key file $work/no-such-key" \
    --airline-server "https://localhost:$port" --api-key-file "$work/no-such-key"
AEROLINKER_API_KEY=$'key\rX-Other: 1' refused control-in-key "holds a control character" \
    --airline-server "https://localhost:$port"
check "the key is in none of the outputs" test -z "$(grep -lF "$key" "$work"/*.out)"

report "airline console cases"
