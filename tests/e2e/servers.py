#!/usr/bin/env python3
"""The other side of the namespace tests; each prints "ready", then logs what it is asked.
  dns <address> <log> name=address,...: on UDP port 53; NXDOMAIN for other names, no IPv6
  doh <address> <port> <certificate> <key> <log> name=address,...: DNS-over-HTTPS (POST)
  site <address> <port> <log>: answers "real page of <host> <path> from <address>", kept alive"""
import http.server, socket, ssl, struct, sys  # noqa: E401


def answer(query, table, log):
    ident, _, count = struct.unpack("!HHH", query[:6])
    labels, at = [], 12
    while query[at]:
        labels.append(query[at + 1:at + 1 + query[at]].decode().lower())
        at += 1 + query[at]
    name, (qtype,) = ".".join(labels), struct.unpack("!H", query[at + 1:at + 3])
    log.write("%s %s\n" % ({1: "A", 28: "AAAA"}.get(qtype, qtype), name))
    log.flush()
    entry = table.get(name)
    records = [b"\xc0\x0c" + struct.pack("!HHIH", 1, 1, 60, 4) + socket.inet_aton(a)
               for a in (entry or []) if qtype == 1]
    flags = 0x8180 | (3 if entry is None else 0)
    return (struct.pack("!HHHHHH", ident, flags, 1, len(records), 0, 0) + query[12:at + 5] +
            b"".join(records))


class Web(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def send(self, body, kind):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        host = (self.headers.get("Host") or "").split(":")[0]
        self.server.log.write("%s %s\n" % (host, self.path))
        self.server.log.flush()
        self.send(("<html><body>real page of %s %s from %s</body></html>"
                   % (host, self.path, self.server.server_address[0])).encode(), "text/html")

    def do_POST(self):  # DNS-over-HTTPS, as Firefox asks
        query = self.rfile.read(int(self.headers["Content-Length"]))
        self.send(answer(query, self.server.table, self.server.log), "application/dns-message")

    def log_message(self, *args):
        pass


def main():
    kind, args = sys.argv[1], sys.argv[2:]
    table = {i.split("=")[0]: i.split("=")[1].split(",") for i in args if "=" in i}
    if kind == "dns":
        sock, log = socket.socket(socket.AF_INET, socket.SOCK_DGRAM), open(args[1], "a")
        sock.bind((args[0], 53))
        print("ready", flush=True)
        while True:
            query, peer = sock.recvfrom(4096)
            sock.sendto(answer(query, table, log), peer)
    server = http.server.ThreadingHTTPServer((args[0], int(args[1])), Web)
    if kind == "doh":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args[2], args[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
        server.table, server.log = table, open(args[4], "a")
    else:
        server.log = open(args[2], "a")
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
