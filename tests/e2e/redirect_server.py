#!/usr/bin/env python3
"""The component download's redirect service and Apple's file server, for the end-to-end tests:
on 127.0.0.1 port 80 it answers the redirect path with 302 and a location on itself, and serves the
stand-in installer with a Content-Length. With --slow it sends the body a little at a time so that
a test can press cancel during it."""
import http.server
import sys
import time

STANDIN = sys.argv[1]
SLOW = "--slow" in sys.argv


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        if self.path.startswith("/redirect/itunesdl.php"):
            self.send_response(302)
            self.send_header("Location", "http://127.0.0.1/itunes/iTunesSetup.exe")
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if self.path == "/itunes/iTunesSetup.exe":
            body = open(STANDIN, "rb").read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            step = 2048 if SLOW else len(body)
            for at in range(0, len(body), step):
                try:
                    self.wfile.write(body[at:at + step])
                    self.wfile.flush()
                except OSError:
                    return
                if SLOW:
                    time.sleep(0.3)
            return
        self.send_response(404)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, fmt, *args):
        sys.stderr.write("redirect-server: " + (fmt % args) + "\n")


http.server.ThreadingHTTPServer(("127.0.0.1", 80), Handler).serve_forever()
