#!/usr/bin/env python3
"""A stand-in for an airline's phpVMS 7 site, for Aerolinker's tests and pilots' trials: the REST
routes the ACARS client uses, JSON in and out, a store of the pilot reports it received (written
to --store after every change) and control routes under /_control/ that make it fail the way a
real site and network do. Run with --help for the options; standard library only."""

import argparse
import hmac
import http.server
import ipaddress
import json
import os
import re
import secrets
import signal
import socket
import socketserver
import ssl
import string
import sys
import tempfile
import threading
import time
import urllib.parse
import uuid
from datetime import datetime, timezone

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DATA_FILE = os.path.join(HERE, "default_airline.json")
DEFAULT_BIND = "127.0.0.1"
API_PREFIX = "/api/"
CONTROL_PREFIX = "/_control/"
API_KEY_HEADER = "X-API-Key"
MAX_BODY_BYTES = 8 * 1024 * 1024
# A connection kept alive but silent this long is closed, so idle clients don't pin threads.
IDLE_CONNECTION_SECONDS = 30
DEFAULT_HANG_SECONDS = 60
PIREP_ID_LENGTH = 16
PIREP_ID_ALPHABET = string.ascii_letters + string.digits
INITIAL_STATUS = "INI"
MI_PER_NMI = 1.150779
KM_PER_NMI = 1.852
UNAUTHORIZED_MESSAGE = "Unauthorized: API key is invalid"
NOT_IN_PROGRESS_MESSAGE = "PIREP is not in progress"


# phpVMS's numbers for where a report stands.
IN_PROGRESS, PENDING, ACCEPTED, CANCELLED, DELETED, DRAFT, REJECTED = range(7)


PREFILE_REQUIRED = ("airline_id", "aircraft_id", "flight_number", "dpt_airport_id",
                    "arr_airport_id", "source_name")
ACARS_KINDS = ("positions", "events", "logs")
# Kept per report for the tests' diagnostics; the site never shows them in a report.
STORE_ONLY_KEYS = ("statuses",) + ACARS_KINDS + tuple(k + "_received" for k in ACARS_KINDS)
# The site sets these itself; a client sending them changes nothing.
SERVER_KEYS = ("id", "user_id", "state", "created_at", "updated_at", "submitted_at",
               *STORE_ONLY_KEYS)

# Faults that answer at once with a status and message and leave the store as it was.
CANNED_FAULTS = {"error500": (500, "Server Error"), "error503": (503, "Service Unavailable"),
                 "unauthorized": (401, UNAUTHORIZED_MESSAGE), "notfound": (404, "Not found"),
                 "badrequest": (400, "Bad request"), "conflict": (409, "Conflict"),
                 "redirect": (302, "Found: sign in to this network first")}
# "garbled" does the request's work and answers its status with a page that is not JSON, as a
# proxy or a reply broken on the way would.
FAULT_MODES = ("drop", "slow", "hang", "cut", "garbled") + tuple(CANNED_FAULTS)
GARBLED_REPLY = b"<html><body>502 Bad Gateway</body></html>"
UNTIL_CLEARED = -1


class ApiError(Exception):
    def __init__(self, status, message):
        super().__init__(message)
        self.status = status
        self.message = message


def now_iso():
    return datetime.now(timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


def write_atomically(path, text):
    """Temp file and rename in the same folder, so a reader sees the old file or the new one."""
    folder = os.path.dirname(os.path.abspath(path))
    fd, temp = tempfile.mkstemp(dir=folder, prefix=".airline-", suffix=".tmp")
    try:
        with os.fdopen(fd, "w", encoding="utf-8") as f:
            f.write(text)
        os.replace(temp, path)
    except BaseException:
        os.unlink(temp)
        raise


def is_whole(value):
    return isinstance(value, int) and not isinstance(value, bool)


def is_number(value):
    return is_whole(value) or isinstance(value, float)


def is_blank(value):
    return value is None or (isinstance(value, str) and not value.strip())


# --- the airline's data -----------------------------------------------------------------------

def load_data(path):
    """Reads the airline's data file; raises ValueError naming what is wrong."""
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        raise ValueError(f"cannot read airline data {path}: {e}") from e
    kinds = {"api_key": str, "pilot": dict, "airline": dict, "bids": list}
    if not isinstance(data, dict) or not all(isinstance(data.get(k), t) for k, t in kinds.items()):
        raise ValueError(f"{path}: wants api_key (text), pilot, airline (objects), bids (a list)")
    owners = [data["pilot"], data["airline"]] + data["bids"]
    if not data["api_key"] or not all(isinstance(x, dict) and "id" in x for x in owners):
        raise ValueError(f"{path}: wants a key, and an id for the pilot, airline and each flight")
    return data


def complete_flight(flight, airline):
    """A flight as the site shows it: its airline spelt out, its distance in every unit."""
    shown = dict(flight, airline=airline, airline_id=airline["id"])
    distance = dict(flight.get("distance") or {})
    if is_number(distance.get("nmi")):
        distance.setdefault("mi", round(distance["nmi"] * MI_PER_NMI, 2))
        distance.setdefault("km", round(distance["nmi"] * KM_PER_NMI, 2))
    shown["distance"] = distance
    return shown


class Airline:
    """The pilot, the airline and the pilot's bids, fixed for the server's life."""

    def __init__(self, data):
        self.api_key = data["api_key"]
        self.pilot = data["pilot"]
        self.airline = data["airline"]
        self.flights = [complete_flight(f, self.airline) for f in data["bids"]]
        if data.get("bids_wrapped"):
            self.bids = [{"id": n, "user_id": self.pilot["id"], "flight_id": f["id"], "flight": f}
                         for n, f in enumerate(self.flights, start=1)]
        else:
            self.bids = self.flights
        # Ids compared as text: a form field and a JSON number name the same aircraft.
        self.aircraft_ids = {str(a.get("id")) for f in self.flights
                             for sub in f.get("subfleet") or [] for a in sub.get("aircraft") or []}

    def user(self):
        return dict(self.pilot, airline_id=self.airline["id"], airline=self.airline, bids=self.bids)

    def key_matches(self, given):
        return given is not None and hmac.compare_digest(given.encode(), self.api_key.encode())


# --- the store --------------------------------------------------------------------------------

class Store:
    """Everything the site received. One lock guards it and the file written from it."""

    def __init__(self, path):
        self.lock = threading.Lock()
        self.path = path
        self.reset()

    def reset(self):
        self.pireps = {}     # by id, oldest first
        self.requests = []   # every /api/ request in arrival order, status 0 if never answered
        self.faults = []

    def as_json(self):
        return json.dumps({"pireps": self.pireps, "requests": self.requests}, indent=1)

    def save(self):
        if self.path:
            write_atomically(self.path, self.as_json())

    def take_fault(self, method, path):
        """The first queued fault matching the request, one count of it used up."""
        for fault in self.faults:
            if fault.get("path", "") in path and fault.get("method", method).upper() == method:
                if fault["count"] != UNTIL_CLEARED:
                    fault["count"] -= 1
                    if fault["count"] == 0:
                        self.faults.remove(fault)
                return fault
        return None


def parse_fault(body):
    mode = body.get("mode")
    if mode not in FAULT_MODES:
        raise ApiError(400, f"mode must be one of {', '.join(FAULT_MODES)}")
    count = body.get("count", 1)
    if not is_whole(count) or (count < 1 and count != UNTIL_CLEARED):
        raise ApiError(400, "count must be a positive whole number, or -1 for until cleared")
    fault = {"mode": mode, "count": count}
    for key in ("path", "method"):
        if key in body:
            if not isinstance(body[key], str):
                raise ApiError(400, f"{key} must be text")
            fault[key] = body[key]
    seconds = body.get("seconds", DEFAULT_HANG_SECONDS if mode == "hang" else 0)
    if not is_number(seconds) or seconds < 0:
        raise ApiError(400, "seconds must be a number of seconds")
    fault["seconds"] = seconds
    return fault


# --- the site's routes ------------------------------------------------------------------------

PIREP = r"/api/pireps/(?P<pirep_id>[^/]+)"
ROUTES = [
    ("GET", r"/api/user", "user"),
    ("GET", r"/api/user/bids", "bids"),
    ("GET", r"/api/user/pireps", "user_pireps"),
    ("POST", r"/api/pireps/prefile", "prefile"),
    ("GET", PIREP, "get_pirep"),
    ("POST", PIREP + r"/update", "update"),
    ("POST", PIREP + r"/acars/(?P<kind>positions|events|logs)", "acars"),
    ("POST", PIREP + r"/file", "file"),
    ("DELETE", PIREP + r"/cancel", "cancel"),
]
ROUTES = [(method, re.compile(pattern), name) for method, pattern, name in ROUTES]


def shown(pirep):
    return {k: v for k, v in pirep.items() if k not in STORE_ONLY_KEYS}


def cancel(pirep):
    pirep["state"] = CANCELLED
    pirep["updated_at"] = now_iso()


def ok(data, status=200):
    return status, {"data": data}


class Site:
    """The API's answers. Every method runs under the store's lock."""

    def __init__(self, airline, store):
        self.airline = airline
        self.store = store

    def dispatch(self, method, path, query, body, api_key):
        if not self.airline.key_matches(api_key):
            raise ApiError(401, UNAUTHORIZED_MESSAGE)
        allowed = []
        for route_method, pattern, name in ROUTES:
            match = pattern.fullmatch(path)
            if match and route_method == method:
                return getattr(self, "route_" + name)(query=query, body=body, **match.groupdict())
            if match:
                allowed.append(route_method)
        if allowed:
            raise ApiError(405, f"{method} is not allowed here; use {', '.join(allowed)}")
        raise ApiError(404, f"No route {path}")

    def route_user(self, query, body):
        return ok(self.airline.user())

    def route_bids(self, query, body):
        return ok(self.airline.bids)

    def route_user_pireps(self, query, body):
        reports = [shown(p) for p in reversed(list(self.store.pireps.values()))]
        if "state" in query:
            try:
                state = int(query["state"][-1])
            except ValueError:
                raise ApiError(400, "state must be a whole number") from None
            reports = [p for p in reports if p["state"] == state]
        return ok(reports)

    def route_prefile(self, query, body):
        for field in PREFILE_REQUIRED:
            if is_blank(body.get(field)):
                raise ApiError(400, f"The {field} field is required.")
        if str(body["airline_id"]) != str(self.airline.airline["id"]):
            raise ApiError(400, "The selected airline id is invalid.")
        if str(body["aircraft_id"]) not in self.airline.aircraft_ids:
            raise ApiError(400, "The selected aircraft id is invalid.")
        pirep_id = self.new_pirep_id()
        now = now_iso()
        pirep = {k: v for k, v in body.items() if k not in SERVER_KEYS}
        pirep.update(id=pirep_id, user_id=self.airline.pilot["id"], state=IN_PROGRESS,
                     created_at=now, updated_at=now)
        pirep.setdefault("status", INITIAL_STATUS)
        self.check_status(pirep["status"])
        # The first status counts as a change, so the list tells the whole flight.
        pirep["statuses"] = [pirep["status"]]
        self.store.pireps[pirep_id] = pirep
        return ok(shown(pirep), status=201)

    def new_pirep_id(self):
        while True:
            pirep_id = "".join(secrets.choice(PIREP_ID_ALPHABET) for _ in range(PIREP_ID_LENGTH))
            if pirep_id not in self.store.pireps:
                return pirep_id

    def route_get_pirep(self, query, body, pirep_id):
        return ok(shown(self.pirep(pirep_id, acting=False)))

    def route_update(self, query, body, pirep_id):
        pirep = self.pirep(pirep_id)
        self.set_fields(pirep, body)
        return ok(shown(pirep))

    def route_acars(self, query, body, pirep_id, kind):
        pirep = self.pirep(pirep_id)
        items = body.get(kind)
        if not isinstance(items, list):
            raise ApiError(400, f"{kind} must be a list")
        for n, item in enumerate(items):
            self.check_acars_item(kind, n, item)
        # Rows are kept by id, as the site keeps its ACARS rows: a row sent again after a lost
        # reply replaces itself instead of doubling the track.
        stored = pirep.setdefault(kind, [])
        where = {row["id"]: n for n, row in enumerate(stored)}
        for item in items:
            row = dict(item)
            row.setdefault("id", uuid.uuid4().hex)
            if row["id"] in where:
                stored[where[row["id"]]] = row
            else:
                where[row["id"]] = len(stored)
                stored.append(row)
        pirep[kind + "_received"] = pirep.get(kind + "_received", 0) + len(items)
        pirep["updated_at"] = now_iso()
        return 200, {"count": len(items)}

    @staticmethod
    def check_acars_item(kind, n, item):
        if not isinstance(item, dict):
            raise ApiError(400, f"{kind}.{n} must be an object")
        if "id" in item and not (isinstance(item["id"], str) or is_whole(item["id"])):
            raise ApiError(400, f"{kind}.{n}.id must be text or a whole number")
        if kind == "positions":
            for axis in ("lat", "lon"):
                if not is_number(item.get(axis)):
                    raise ApiError(400, f"{kind}.{n}.{axis} must be a number")

    def route_file(self, query, body, pirep_id):
        pirep = self.pirep(pirep_id)
        if pirep["state"] != IN_PROGRESS:
            raise ApiError(400, NOT_IN_PROGRESS_MESSAGE)
        self.set_fields(pirep, body)
        pirep["state"] = PENDING
        pirep["submitted_at"] = pirep["updated_at"]
        return ok(shown(pirep))

    def route_cancel(self, query, body, pirep_id):
        pirep = self.pirep(pirep_id, acting=False)
        if pirep["state"] not in (IN_PROGRESS, CANCELLED):
            raise ApiError(400, NOT_IN_PROGRESS_MESSAGE)
        cancel(pirep)
        return ok(shown(pirep))

    def pirep(self, pirep_id, acting=True):
        """The report, or 404; a report cancelled on the site takes nothing more."""
        pirep = self.store.pireps.get(pirep_id)
        if pirep is None:
            raise ApiError(404, f"PIREP {pirep_id} not found")
        if acting and pirep["state"] == CANCELLED:
            raise ApiError(404, "PIREP not found, it was cancelled")
        return pirep

    def set_fields(self, pirep, body):
        if "status" in body:
            self.check_status(body["status"])
        for key, value in body.items():
            if key in SERVER_KEYS:
                continue
            if key == "status" and value != pirep.get("status"):
                pirep["statuses"].append(value)
            pirep[key] = value
        pirep["updated_at"] = now_iso()

    @staticmethod
    def check_status(status):
        if not isinstance(status, str) or not status.strip():
            raise ApiError(400, "status must be a status code such as INI")

    def control(self, method, path, body):
        """The tests' own routes: no key, never under /api/."""
        store = self.store
        if method == "GET" and path == CONTROL_PREFIX + "store":
            return 200, json.loads(store.as_json())
        if method != "POST":
            raise ApiError(405, "control routes other than store take POST")
        if path == CONTROL_PREFIX + "reset":
            store.reset()
        elif path == CONTROL_PREFIX + "clear-faults":
            store.faults.clear()
        elif path == CONTROL_PREFIX + "fault":
            store.faults.append(parse_fault(body))
        elif path.startswith(CONTROL_PREFIX + "cancel/"):
            cancel(self.pirep(path[len(CONTROL_PREFIX + "cancel/"):], acting=False))
        else:
            raise ApiError(404, f"No control route {path}")
        store.save()
        return 200, {"faults": store.faults}


# --- HTTP -------------------------------------------------------------------------------------

def read_body(handler):
    """The request's body as a JSON object ({} when empty); ApiError when it is not one."""
    try:
        length = int(handler.headers.get("Content-Length", "0"))
    except ValueError:
        raise ApiError(400, "Content-Length is not a number") from None
    if length < 0:
        raise ApiError(400, "Content-Length is negative")
    if length > MAX_BODY_BYTES:
        raise ApiError(413, f"request body over {MAX_BODY_BYTES} bytes")
    raw = handler.rfile.read(length)
    if not raw.strip():
        return {}
    try:
        body = json.loads(raw.decode("utf-8"))
    except (UnicodeDecodeError, ValueError):
        raise ApiError(400, "request body is not JSON") from None
    if not isinstance(body, dict):
        raise ApiError(400, "request body must be a JSON object")
    return body


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = IDLE_CONNECTION_SECONDS

    def setup(self):
        super().setup()
        # The handshake runs here, on the connection's own thread, so a slow or refused client
        # never holds up the accepting one.
        if isinstance(self.request, ssl.SSLSocket):
            self.request.do_handshake()

    def do_GET(self):
        self.serve()

    do_POST = do_PUT = do_PATCH = do_DELETE = do_GET

    def serve(self):
        url = urllib.parse.urlsplit(self.path)
        self.route_path = url.path
        try:
            body, error = read_body(self), None
        except ApiError as e:
            # The body may be left unread on the wire: this connection can't carry another request.
            self.close_connection = True
            body, error = None, e
        if url.path.startswith(API_PREFIX):
            self.serve_api(url, body, error)
        elif error:
            self.reply(error.status, {"message": error.message})
        else:
            self.serve_control(url.path, body)

    def serve_control(self, path, body):
        site = self.server.site
        try:
            with site.store.lock:
                if not path.startswith(CONTROL_PREFIX):
                    raise ApiError(404, f"No route {path}")
                status, payload = site.control(self.command, path, body)
        except ApiError as e:
            status, payload = e.status, {"message": e.message}
        self.reply(status, payload)

    def serve_api(self, url, body, error):
        site, store = self.server.site, self.server.site.store
        entry = {"method": self.command, "path": url.path, "status": 0}
        with store.lock:
            store.requests.append(entry)
            fault = None if error else store.take_fault(self.command, url.path)
        if error:
            return self.finish_reply(entry, error.status, {"message": error.message})
        mode = fault["mode"] if fault else None
        if mode in ("slow", "hang"):
            time.sleep(fault["seconds"])
        if mode in ("drop", "hang"):
            return self.finish_reply(entry, 0, None)
        if mode in CANNED_FAULTS:
            status, message = CANNED_FAULTS[mode]
            return self.finish_reply(entry, status, {"message": message})
        query = urllib.parse.parse_qs(url.query)
        with store.lock:
            try:
                status, payload = site.dispatch(self.command, url.path, query, body,
                                                self.headers.get(API_KEY_HEADER))
            except ApiError as e:
                status, payload = e.status, {"message": e.message}
            # A cut request did all its work; only its reply is lost.
            if mode == "cut":
                status = 0
            entry["status"] = status
            store.save()
        if mode == "garbled":
            return self.send_body(status, GARBLED_REPLY, "text/html")
        self.reply(status, payload)

    def finish_reply(self, entry, status, payload):
        if entry is not None:
            with self.server.site.store.lock:
                entry["status"] = status
                self.server.site.store.save()
        self.reply(status, payload)

    def reply(self, status, payload):
        """Sends the JSON reply; status 0 closes the connection without one."""
        if status == 0:
            self.close_connection = True
            self.log_request(0)
            return
        self.send_body(status, json.dumps(payload).encode("utf-8"), "application/json")

    def send_body(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        if self.close_connection:
            self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)

    def log_request(self, code="-", size="-"):
        # Method, path and status only: the key travels in a header and secrets in bodies.
        self.log_message("%s %s %s", self.command, getattr(self, "route_path", "-"),
                         getattr(code, "value", code))

    def log_message(self, format, *args):
        if not self.server.quiet:
            sys.stderr.write("%s %s\n" % (self.address_string(), format % args))


class AirlineHttpServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, site, tls, quiet):
        self.address_family = socket.AF_INET6 if ":" in address[0] else socket.AF_INET
        self.site, self.tls, self.quiet = site, tls, quiet
        super().__init__(address, Handler)

    def server_bind(self):
        # HTTPServer's own would look the host's name up in DNS, which can stall a start.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def get_request(self):
        sock, address = self.socket.accept()
        if self.tls:
            sock = self.tls.wrap_socket(sock, server_side=True, do_handshake_on_connect=False)
        return sock, address

    def handle_error(self, request, client_address):
        if not self.quiet:
            error = sys.exc_info()[1]
            sys.stderr.write(f"{client_address[0]} connection failed: {error!r}\n")


def loopback_address(text):
    try:
        address = ipaddress.ip_address(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not an IP address") from None
    if not address.is_loopback:
        raise argparse.ArgumentTypeError(f"{text} is not a loopback address; "
                                         "this server only listens on this machine")
    return str(address)


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--port", type=int, default=0, help="port to listen on; 0 picks a free one")
    parser.add_argument("--port-file", help="write the port number here once listening")
    parser.add_argument("--bind", type=loopback_address, default=DEFAULT_BIND,
                        help="loopback address to listen on (127.x.x.x or ::1)")
    parser.add_argument("--store", help="write the whole store here as JSON after every change")
    parser.add_argument("--data", default=DEFAULT_DATA_FILE, help="the airline's data as JSON")
    parser.add_argument("--tls-cert", help="serve HTTPS with this certificate (PEM)")
    parser.add_argument("--tls-key", help="the certificate's private key (PEM)")
    parser.add_argument("--quiet", action="store_true", help="no request log on stderr")
    args = parser.parse_args(argv)
    if bool(args.tls_cert) != bool(args.tls_key):
        parser.error("--tls-cert and --tls-key go together")
    try:
        args.airline = Airline(load_data(args.data))
        args.tls = None
        if args.tls_cert:
            args.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            args.tls.load_cert_chain(args.tls_cert, args.tls_key)
    except (ValueError, OSError, TypeError, KeyError) as e:
        parser.error(f"{e!r}" if isinstance(e, (TypeError, KeyError)) else str(e))
    return args


def stop(signum, frame):
    raise SystemExit(0)


def main(argv=None):
    args = parse_args(argv)
    store = Store(args.store)
    site = Site(args.airline, store)
    server = AirlineHttpServer((args.bind, args.port), site, args.tls, args.quiet)
    port = server.server_address[1]
    with store.lock:
        store.save()
    if args.port_file:
        write_atomically(args.port_file, f"{port}\n")
    host = f"[{args.bind}]" if ":" in args.bind else args.bind
    print(f"listening on {'https' if args.tls else 'http'}://{host}:{port}", flush=True)
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    try:
        server.serve_forever()
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
