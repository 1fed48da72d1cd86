#!/usr/bin/env python3
"""A DNS-over-HTTPS server for namespace tests (RFC 8484, GET and POST on /dns-query),
answering like dns_responder.py from the same kind of table.

Usage: doh_server.py <address> <port> <certificate> <key> <log file> name=answer ...
"""
import base64
import http.server
import os
import ssl
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dns_responder import answer, table_from  # noqa: E402


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def reply(self, query):
        body = answer(query, self.server.table, self.server.log, False) or b""
        self.send_response(200 if body else 503)
        self.send_header("Content-Type", "application/dns-message")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_POST(self):
        self.reply(self.rfile.read(int(self.headers["Content-Length"])))

    def do_GET(self):
        query = self.path.split("dns=", 1)[-1].split("&")[0]
        self.reply(base64.urlsafe_b64decode(query + "=" * (-len(query) % 4)))

    def log_message(self, *args):
        pass


def main():
    address, port, certificate, key, log = sys.argv[1:6]
    server = http.server.ThreadingHTTPServer((address, int(port)), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.table, server.log = table_from(sys.argv[6:]), open(log, "a")
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
