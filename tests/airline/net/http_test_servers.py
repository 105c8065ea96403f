#!/usr/bin/env python3
"""Small local servers for the transport tests: starts them on 127.0.0.1, runs the test
command with their ports in its environment, and stops them when it ends. A Windows test
under Wine cannot start a Linux program itself, so the servers live out here for both builds.

    http_test_servers.py [--tls] -- COMMAND [ARGUMENTS...]

Environment given to COMMAND:
  AEROLINKER_TEST_HTTP_PORT     plain HTTP with the routes below
  AEROLINKER_TEST_SILENT_PORT   takes connections and never answers
  AEROLINKER_TEST_REFUSED_PORT  nobody listens
With --tls, also (certificates made with the openssl command in a scratch folder):
  AEROLINKER_TEST_CA_FILE       the throwaway certificate authority
  AEROLINKER_TEST_TLS_PORT      HTTPS with a certificate for "localhost"
  AEROLINKER_TEST_TLS_OTHER_PORT  HTTPS with a certificate for "other.example"

Routes: /ok (200), /missing (404), /bytes/N (N bytes), /redirect (302 to /ok), /echo (the
method, the X-Test-Key and Content-Type headers and the body, sent back), /trickle (a byte
every quarter second, for far longer than the tests wait).
"""
import http.server
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

LOOPBACK = "127.0.0.1"
TRICKLE_BYTES = 40
TRICKLE_PAUSE_S = 0.25


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def reply(self, status, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def handle_any(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length else b""
        if self.path == "/ok":
            self.reply(200, b"flight accepted")
        elif self.path == "/missing":
            self.reply(404, b"no such flight")
        elif self.path.startswith("/bytes/"):
            self.reply(200, b"x" * int(self.path[len("/bytes/"):]))
        elif self.path == "/redirect":
            self.reply(302, b"moved", [("Location", "/ok")])
        elif self.path == "/echo":
            echo = "%s key=%s type=%s body=" % (self.command, self.headers.get("X-Test-Key"),
                                                self.headers.get("Content-Type"))
            self.reply(200, echo.encode() + body)
        elif self.path == "/trickle":
            self.send_response(200)
            self.send_header("Content-Length", str(TRICKLE_BYTES))
            self.end_headers()
            for _ in range(TRICKLE_BYTES):
                self.wfile.write(b"x")
                self.wfile.flush()
                time.sleep(TRICKLE_PAUSE_S)
        else:
            self.reply(400, b"unknown route")

    do_GET = do_POST = do_PUT = do_DELETE = handle_any


class QuietServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that gives up mid-reply (the timeout and size tests) is expected.
        pass


def serve(context=None):
    server = QuietServer((LOOPBACK, 0), Handler)
    if context is not None:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def openssl(*arguments):
    subprocess.run(["openssl", *arguments], check=True, capture_output=True)


def make_certificates(folder):
    """A certificate authority and, signed by it, one certificate per server name."""
    ca_key, ca_cert = os.path.join(folder, "ca.key"), os.path.join(folder, "ca.pem")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
            "/CN=Aerolinker test authority", "-keyout", ca_key, "-out", ca_cert)
    chains = {}
    for name in ("localhost", "other.example"):
        key, request, cert, extensions = (os.path.join(folder, name + suffix)
                                          for suffix in (".key", ".csr", ".pem", ".ext"))
        with open(extensions, "w") as file:
            file.write("subjectAltName=DNS:%s\n" % name)
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + name,
                "-keyout", key, "-out", request)
        openssl("x509", "-req", "-in", request, "-CA", ca_cert, "-CAkey", ca_key,
                "-CAcreateserial", "-days", "2", "-extfile", extensions, "-out", cert)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        chains[name] = context
    return ca_cert, chains


def main():
    arguments = sys.argv[1:]
    tls = arguments[:1] == ["--tls"]
    if tls:
        arguments = arguments[1:]
    if arguments[:1] != ["--"] or len(arguments) < 2:
        sys.exit(__doc__)
    command = arguments[1:]

    environment = dict(os.environ)
    environment["AEROLINKER_TEST_HTTP_PORT"] = str(serve())

    silent = socket.socket()
    silent.bind((LOOPBACK, 0))
    silent.listen(8)
    environment["AEROLINKER_TEST_SILENT_PORT"] = str(silent.getsockname()[1])

    with socket.socket() as closed:
        closed.bind((LOOPBACK, 0))
        environment["AEROLINKER_TEST_REFUSED_PORT"] = str(closed.getsockname()[1])

    with tempfile.TemporaryDirectory(prefix="aerolinker-tls-") as folder:
        if tls:
            ca_file, contexts = make_certificates(folder)
            environment["AEROLINKER_TEST_CA_FILE"] = ca_file
            environment["AEROLINKER_TEST_TLS_PORT"] = str(serve(contexts["localhost"]))
            environment["AEROLINKER_TEST_TLS_OTHER_PORT"] = str(serve(contexts["other.example"]))
        sys.exit(subprocess.run(command, env=environment).returncode)


if __name__ == "__main__":
    main()
