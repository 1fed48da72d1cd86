#!/usr/bin/env python3
"""Holds one kept-alive HTTP connection to a site, as a browser tab does, and reports
when it is closed under it; then, with --reconnect, opens the site again.

Usage: keepalive_client.py <name> <port> [--reconnect]
Prints "connected <ms>", then "closed <ms> <why>" (or "still open" after 15 s), then
"reconnected <status line>" or "reconnect failed <why>". Times are milliseconds since
the epoch.
"""
import socket
import sys
import time


def now_ms():
    return int(time.time() * 1000)


def get(sock, name, path):
    sock.sendall(("GET %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (path, name)).encode())
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = sock.recv(4096)
        if not chunk:
            raise ConnectionError("closed before the answer")
        data += chunk
    head, body = data.split(b"\r\n\r\n", 1)
    length = int([l for l in head.split(b"\r\n") if l.lower().startswith(b"content-length:")][0]
                 .split(b":")[1])
    while len(body) < length:
        body += sock.recv(4096)
    return head.split(b"\r\n")[0].decode()


def main():
    name, port = sys.argv[1], int(sys.argv[2])
    sock = socket.create_connection((name, port), timeout=5)
    get(sock, name, "/keep")
    print("connected %d" % now_ms(), flush=True)
    sock.settimeout(15)
    try:
        data = sock.recv(1)
        why = "end of stream" if not data else "unexpected data"
        print("closed %d %s" % (now_ms(), why), flush=True)
    except socket.timeout:
        print("still open", flush=True)
    except OSError as error:
        print("closed %d %s" % (now_ms(), error.strerror or error), flush=True)
    if "--reconnect" in sys.argv:
        try:
            again = socket.create_connection((name, port), timeout=5)
            print("reconnected %s" % get(again, name, "/again"), flush=True)
        except OSError as error:
            print("reconnect failed %s" % error, flush=True)


if __name__ == "__main__":
    main()
