#!/usr/bin/env python3
"""A web site for namespace tests: answers every GET with "real page of <host> <path>
from <address>" over HTTP/1.1 keep-alive, and appends "<host> <path>" to a log file per
request.

Usage: site_server.py <address> <port> <log file> [close]
With "close", every answer ends its connection (no keep-alive), so that each request of a
client needs a fresh connection and so a fresh look at the site's address.
"""
import http.server
import sys


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        host = (self.headers.get("Host") or "").split(":")[0]
        with open(self.server.log, "a") as out:
            out.write("%s %s\n" % (host, self.path))
        body = ("<html><body>real page of %s %s from %s</body></html>"
                % (host, self.path, self.server.server_address[0])).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        if self.server.close:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer((sys.argv[1], int(sys.argv[2])), Handler)
    server.log = sys.argv[3]
    server.close = sys.argv[4:5] == ["close"]
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
