#!/usr/bin/env python3
"""The component download's redirect service and Apple's file server, for the end-to-end tests:
on 127.0.0.1 port 80 it answers the redirect path with 302 and a location on itself, and serves the
stand-in installer with a Content-Length.

    redirect_server.py STANDIN [MODE] [--wait-port SECONDS]

MODE makes it misbehave the way a hostile or broken server would:
  --slow            sends the body a little at a time, so that a test can press cancel during it
  --cut-mid-body    sends the Content-Length and half of the body, then closes
  --redirect-loop   answers the redirect path with a 302 to the redirect path itself
  --endless-header  answers the download with a status line and header lines without end
  --endless-body    answers the download with a body without length and without end
  --silent          accepts the download request and never answers

Once it listens it writes "listening on 127.0.0.1:80" to stderr. Port 80 is shared with other
tests: when the port is taken it tries again for --wait-port seconds (default 0), then exits with
code 2 and one line saying so."""
import errno
import http.server
import sys
import time

STANDIN = sys.argv[1]
MODES = {"--slow", "--cut-mid-body", "--redirect-loop", "--endless-header", "--endless-body", "--silent"}
MODE = next((arg for arg in sys.argv[2:] if arg in MODES), "")
WAIT_PORT = float(sys.argv[sys.argv.index("--wait-port") + 1]) if "--wait-port" in sys.argv else 0.0
REDIRECT = "/redirect/itunesdl.php"
DOWNLOAD = "/itunes/iTunesSetup.exe"
# Endless answers stop after this much, should the client never stop reading.
ENDLESS_LIMIT = 256 << 20


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def send_endless(self, first, pattern):
        sent = 0
        try:
            self.wfile.write(first)
            while sent < ENDLESS_LIMIT:
                self.wfile.write(pattern)
                sent += len(pattern)
        except OSError:
            pass
        self.log_message("sent %d endless bytes", sent)
        self.close_connection = True

    def do_GET(self):
        if self.path.startswith(REDIRECT):
            # In the loop the location is the very path just asked for.
            location = self.path if MODE == "--redirect-loop" else DOWNLOAD
            self.send_response(302)
            self.send_header("Location", "http://127.0.0.1" + location)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if self.path == DOWNLOAD and MODE == "--silent":
            self.rfile.read(1)  # until the client gives up and closes
            self.close_connection = True
            return
        if self.path == DOWNLOAD and MODE == "--endless-header":
            self.send_endless(b"HTTP/1.1 200 OK\r\n", b"X-Filler: " + b"h" * 500 + b"\r\n")
            return
        if self.path == DOWNLOAD and MODE == "--endless-body":
            self.send_endless(b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", b"u" * 65536)
            return
        if self.path == DOWNLOAD:
            body = open(STANDIN, "rb").read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if MODE == "--cut-mid-body":
                self.wfile.write(body[:len(body) // 2])
                self.log_message("closed after %d of %d bytes", len(body) // 2, len(body))
                self.close_connection = True
                return
            step = 2048 if MODE == "--slow" else len(body)
            for at in range(0, len(body), step):
                try:
                    self.wfile.write(body[at:at + step])
                    self.wfile.flush()
                except OSError:
                    return
                if MODE == "--slow":
                    time.sleep(0.3)
            return
        self.send_response(404)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, fmt, *args):
        sys.stderr.write("redirect-server: " + (fmt % args) + "\n")
        sys.stderr.flush()


def listen():
    deadline = time.monotonic() + WAIT_PORT
    while True:
        try:
            return http.server.ThreadingHTTPServer(("127.0.0.1", 80), Handler)
        except OSError as error:
            if error.errno == errno.EADDRINUSE and time.monotonic() < deadline:
                time.sleep(0.5)
                continue
            why = "taken by another program (another test's server?)" if error.errno == errno.EADDRINUSE else str(error)
            sys.stderr.write("redirect-server: cannot listen on 127.0.0.1:80: %s\n" % why)
            sys.exit(2)


server = listen()
sys.stderr.write("redirect-server: listening on 127.0.0.1:80%s\n" % (" " + MODE if MODE else ""))
sys.stderr.flush()
server.serve_forever()
