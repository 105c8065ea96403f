#!/usr/bin/env python3
"""Tests of the stand-in airline site the ACARS client is tried against, run as its own process
as the client's tests and pilots' trials run it, and driven over HTTP."""
import http.client
import json
import os
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "..", "src", "sim", "airline", "airline_server.py")
DEFAULT_DATA = os.path.join(os.path.dirname(SERVER), "default_airline.json")
KEY = "test-key-0123456789abcdef"
WAIT_SECONDS = 10
PREFILE = {"airline_id": 1, "aircraft_id": 12, "flight_id": "f8Kd02LmQz", "flight_number": "1024",
           "dpt_airport_id": "LIEO", "arr_airport_id": "LIRQ", "source_name": "Aerolinker"}


class Site:
    """One server process on a free port, found through its port file."""

    def __init__(self, *args, ca=None):
        self.dir = tempfile.TemporaryDirectory()
        port_file = os.path.join(self.dir.name, "port")
        self.store_file = os.path.join(self.dir.name, "store.json")
        self.log_file = open(os.path.join(self.dir.name, "log"), "w+")
        self.process = subprocess.Popen(
            [sys.executable, SERVER, "--port-file", port_file, "--store", self.store_file, *args],
            stdout=subprocess.PIPE, stderr=self.log_file, text=True)
        self.ca = ca
        deadline = time.monotonic() + WAIT_SECONDS
        while not os.path.exists(port_file):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("airline server did not start: " + self.log())
            time.sleep(0.02)
        with open(port_file) as f:
            self.port = int(f.read())
        self.banner = self.process.stdout.readline()

    def log(self):
        self.log_file.seek(0)
        return self.log_file.read()

    def call(self, method, path, body=None, key=KEY, context=None):
        """(status, JSON reply), or (None, None) when the connection closed without a reply."""
        if self.ca or context:
            context = context or ssl.create_default_context(cafile=self.ca)
            conn = http.client.HTTPSConnection("localhost", self.port, timeout=WAIT_SECONDS,
                                               context=context)
        else:
            conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=WAIT_SECONDS)
        headers = {} if key is None else {"X-API-Key": key}
        data = body if body is None or isinstance(body, bytes) else json.dumps(body).encode()
        try:
            conn.request(method, path, body=data, headers=headers)
            reply = conn.getresponse()
            return reply.status, json.loads(reply.read())
        except (http.client.RemoteDisconnected, ConnectionResetError):
            return None, None
        finally:
            conn.close()

    def control(self, what, body=None):
        return self.call("GET" if what == "store" else "POST", "/_control/" + what, body, key=None)

    def prefile(self):
        status, reply = self.call("POST", "/api/pireps/prefile", PREFILE)
        assert status == 201, (status, reply)
        return reply["data"]["id"]

    def close(self):
        self.process.terminate()
        self.process.wait(WAIT_SECONDS)
        self.process.stdout.close()
        self.log_file.close()
        self.dir.cleanup()


class SiteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = Site()

    @classmethod
    def tearDownClass(cls):
        cls.site.close()

    def setUp(self):
        self.site.control("reset")

    def test_start_announces_the_port_it_wrote(self):
        self.assertEqual(self.site.banner, f"listening on http://127.0.0.1:{self.site.port}\n")

    def test_a_missing_or_wrong_key_is_refused_and_never_logged(self):
        for key in (None, "", KEY.upper(), KEY + "x"):
            with self.subTest(key=key):
                status, reply = self.site.call("GET", "/api/user", key=key)
                self.assertEqual((status, "API key" in reply["message"]), (401, True))
        self.assertEqual(self.site.call("GET", "/api/user")[0], 200)
        self.assertIn("GET /api/user 401", self.site.log())
        self.assertNotIn(KEY, self.site.log())

    def test_prefile_names_the_missing_or_wrong_field(self):
        cases = [(dict(PREFILE, **{field: value}), field) for field in PREFILE
                 if field != "flight_id" for value in (None, "")]
        cases.append(({k: v for k, v in PREFILE.items() if k != "source_name"}, "source_name"))
        cases.append((dict(PREFILE, aircraft_id="I-CSAB"), "aircraft"))  # a registration, not an id
        for body, field in cases:
            with self.subTest(body=body):
                status, reply = self.site.call("POST", "/api/pireps/prefile", body)
                self.assertEqual((status, field in reply["message"]), (400, True))
        self.assertEqual(self.site.control("store")[1]["pireps"], {})

    def test_a_flight_from_bid_to_filed_report(self):
        site = self.site
        user = site.call("GET", "/api/user")[1]["data"]
        self.assertEqual((user["pilot_id"], user["airline"]["icao"]), ("CSA0042", "CSA"))
        bids = site.call("GET", "/api/user/bids")[1]["data"]
        self.assertEqual([f["id"] for f in bids], ["f8Kd02LmQz", "p3Vx7TnR0w"])
        self.assertEqual([a["registration"] for a in bids[0]["subfleet"][0]["aircraft"]],
                         ["I-CSAA", "I-CSAB"])
        self.assertEqual(bids[0]["distance"]["km"], 250.02)

        status, reply = site.call("POST", "/api/pireps/prefile", dict(PREFILE, level=120))
        pirep = reply["data"]
        self.assertRegex(pirep["id"], r"^[A-Za-z0-9]{16}$")
        self.assertEqual((status, pirep["state"], pirep["status"], pirep["level"]),
                         (201, 0, "INI", 120))
        path = "/api/pireps/" + pirep["id"]
        for code in ("BST", "BST", "OFB"):
            self.assertEqual(site.call("POST", path + "/update", {"status": code})[0], 200)
        first = [{"id": "p1", "lat": 40.9, "lon": 9.5}, {"id": "p2", "lat": 41.0, "lon": 9.6}]
        again = [{"id": "p2", "lat": 41.0, "lon": 9.6, "altitude": 900}, {"lat": 41.1, "lon": 9.7}]
        for batch in (first, again):
            self.assertEqual(site.call("POST", path + "/acars/positions", {"positions": batch}),
                             (200, {"count": 2}))
        for kind in ("events", "logs"):
            body = {kind: [{"id": "e1", "event": "Pushback"}, {"id": "e1", "event": "Pushback"}]}
            self.assertEqual(site.call("POST", path + "/acars/" + kind, body)[0], 200)

        status, filed = site.call("POST", path + "/file", {"flight_time": 52, "fuel_used": 410})
        filed = filed["data"]
        self.assertEqual((status, filed["state"], filed["fuel_used"], "submitted_at" in filed),
                         (200, 1, 410, True))
        self.assertEqual(site.call("POST", path + "/file", {"flight_time": 52}),
                         (400, {"message": "PIREP is not in progress"}))
        for state, expected in (("1", [pirep["id"]]), ("0", [])):
            reports = site.call("GET", "/api/user/pireps?state=" + state)[1]["data"]
            self.assertEqual([p["id"] for p in reports], expected)

        store = site.control("store")[1]
        kept = store["pireps"][pirep["id"]]
        self.assertEqual(kept["statuses"], ["INI", "BST", "OFB"])
        self.assertEqual([p["id"] for p in kept["positions"]][:2], ["p1", "p2"])
        self.assertEqual((len(kept["positions"]), kept["positions_received"]), (3, 4))
        self.assertEqual(kept["positions"][1]["altitude"], 900)
        self.assertEqual((len(kept["events"]), len(kept["logs"])), (1, 1))
        self.assertEqual(store["requests"][-1], {"method": "GET", "path": "/api/user/pireps",
                                                 "status": 200})
        with open(site.store_file) as f:
            self.assertEqual(json.load(f), store)

    def test_malformed_positions_and_bodies_change_nothing(self):
        path = "/api/pireps/" + self.site.prefile() + "/acars/positions"
        for body in ({"positions": [{"lat": 41.0}]}, {"positions": [{"lat": "41", "lon": 9.0}]},
                     {"positions": [{"lat": True, "lon": 9.0}]}, {"positions": [[41.0, 9.0]]},
                     {"positions": {"lat": 1, "lon": 2}}, b"[1, 2]", b"{not json"):
            with self.subTest(body=body):
                status, reply = self.site.call("POST", path, body)
                self.assertEqual((status, bool(reply["message"])), (400, True))
        (pirep,) = self.site.control("store")[1]["pireps"].values()
        self.assertNotIn("positions", pirep)

    def test_each_fault_as_the_client_meets_it(self):
        # (mode, reply status or None for no reply, whether the site acted)
        cases = [("drop", None, False), ("cut", None, True), ("error500", 500, False),
                 ("error503", 503, False), ("unauthorized", 401, False), ("notfound", 404, False),
                 ("badrequest", 400, False), ("conflict", 409, False), ("slow", 200, True),
                 ("hang", None, False)]
        path = "/api/pireps/" + self.site.prefile() + "/acars/positions"
        for n, (mode, expected, acted) in enumerate(cases):
            with self.subTest(mode=mode):
                fault = {"mode": mode, "path": "/acars/", "method": "POST", "seconds": 0.2}
                self.assertEqual(self.site.control("fault", fault)[0], 200)
                self.assertEqual(self.site.call("GET", "/api/user")[0], 200)  # not matched
                body = {"positions": [{"id": mode, "lat": 41.0, "lon": 9.0 + n}]}
                status, reply = self.site.call("POST", path, body)
                self.assertEqual(status, expected)
                if status is not None:
                    self.assertIn("count" if acted else "message", reply)
                store = self.site.control("store")[1]
                (pirep,) = store["pireps"].values()
                stored = [p["id"] for p in pirep.get("positions", [])]
                self.assertEqual((mode in stored, store["requests"][-1]["status"]),
                                 (acted, expected or 0))
                # The fault was used up: the same request now goes through.
                self.assertEqual(self.site.call("POST", path, body)[0], 200)

    def test_a_fault_until_cleared_then_cleared(self):
        self.site.control("fault", {"mode": "error503", "count": -1})
        self.assertEqual([self.site.call("GET", "/api/user")[0] for _ in range(3)], [503] * 3)
        self.site.control("clear-faults")
        self.assertEqual(self.site.call("GET", "/api/user")[0], 200)

    def test_a_cancelled_report_takes_nothing_more(self):
        cancels = {"on the site": lambda pirep_id: self.site.control("cancel/" + pirep_id),
                   "by the pilot": lambda pirep_id: self.site.call(
                       "DELETE", "/api/pireps/" + pirep_id + "/cancel")}
        for how, cancel in cancels.items():
            pirep_id = self.site.prefile()
            self.assertEqual(cancel(pirep_id)[0], 200)
            reply = self.site.call("GET", "/api/pireps/" + pirep_id)[1]
            self.assertEqual(reply["data"]["state"], 3)
            for route, body in (("update", {"status": "TKO"}), ("file", {"flight_time": 10}),
                                ("acars/positions", {"positions": [{"lat": 1.0, "lon": 2.0}]}),
                                ("acars/events", {"events": []}), ("acars/logs", {"logs": []})):
                with self.subTest(how=how, route=route):
                    reply = self.site.call("POST", f"/api/pireps/{pirep_id}/{route}", body)
                    self.assertEqual(reply, (404, {"message": "PIREP not found, it was cancelled"}))


class CommandLineTest(unittest.TestCase):
    def test_only_loopback_addresses_are_served(self):
        for address in ("0.0.0.0", "192.168.1.10", "localhost", "::"):
            with self.subTest(address=address):
                run = subprocess.run([sys.executable, SERVER, "--bind", address],
                                     capture_output=True, text=True, timeout=WAIT_SECONDS)
                self.assertEqual((run.returncode, run.stdout), (2, ""))
                self.assertIn("--bind", run.stderr)

    def test_bids_wrapped_as_newer_sites_send_them(self):
        with open(DEFAULT_DATA, encoding="utf-8") as f:
            data = dict(json.load(f), bids_wrapped=True)
        with tempfile.NamedTemporaryFile("w", suffix=".json") as f:
            json.dump(data, f)
            f.flush()
            site = Site("--quiet", "--data", f.name)
        try:
            bids = site.call("GET", "/api/user/bids")[1]["data"]
            self.assertEqual([(b["flight_id"], b["flight"]["id"]) for b in bids],
                             [("f8Kd02LmQz", "f8Kd02LmQz"), ("p3Vx7TnR0w", "p3Vx7TnR0w")])
        finally:
            site.close()


class HttpsTest(unittest.TestCase):
    def test_a_client_trusting_the_ca_is_served_and_others_refuse(self):
        with tempfile.TemporaryDirectory() as d:
            def openssl(*args):
                subprocess.run(["openssl", *args], cwd=d, check=True, capture_output=True)
            openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key",
                    "-out", "ca.pem", "-days", "2", "-subj", "/CN=Aerolinker test CA")
            openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "site.key",
                    "-out", "site.csr", "-subj", "/CN=localhost")
            with open(os.path.join(d, "san.ext"), "w") as f:
                f.write("subjectAltName=DNS:localhost\n")
            openssl("x509", "-req", "-in", "site.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                    "-CAcreateserial", "-out", "site.pem", "-days", "2", "-extfile", "san.ext")
            site = Site("--quiet", "--tls-cert", os.path.join(d, "site.pem"),
                        "--tls-key", os.path.join(d, "site.key"), ca=os.path.join(d, "ca.pem"))
            try:
                self.assertTrue(site.banner.startswith("listening on https://127.0.0.1:"))
                self.assertEqual(site.call("GET", "/api/user")[0], 200)
                with self.assertRaises(ssl.SSLCertVerificationError):
                    site.call("GET", "/api/user", context=ssl.create_default_context())
            finally:
                site.close()


if __name__ == "__main__":
    unittest.main()
