#!/usr/bin/env python3
"""A tiny name server for namespace tests, on UDP and TCP port 53 of one address.

Usage: dns_responder.py <address> <log file> name=answer ...
  answer: comma-separated IPv4 addresses ("site.test=198.51.100.10"),
          "silent" (the query is never answered), or
          "many:N" (N addresses from 198.18.0.0/15, more than UDP can carry).
Other names get NXDOMAIN; names with answers get no IPv6 records. Every query is
appended to the log file as "<type> <name>".
"""
import socket
import struct
import sys
import threading


def parse_name(data, offset):
    labels = []
    while data[offset]:
        length = data[offset]
        labels.append(data[offset + 1:offset + 1 + length].decode("ascii").lower())
        offset += 1 + length
    return ".".join(labels), offset + 1


def answer(query, table, log, over_udp):
    ident, _flags, count = struct.unpack("!HHH", query[:6])
    if count != 1:
        return None
    name, end = parse_name(query, 12)
    qtype, _qclass = struct.unpack("!HH", query[end:end + 4])
    log.write("%s %s\n" % ({1: "A", 28: "AAAA"}.get(qtype, qtype), name))
    log.flush()
    question = query[12:end + 4]
    entry = table.get(name)
    if entry == "silent":
        return None
    records = []
    if entry is not None and qtype == 1:
        for address in entry:
            records.append(b"\xc0\x0c" + struct.pack("!HHIH", 1, 1, 60, 4) +
                           socket.inet_aton(address))
    rcode = 3 if entry is None else 0
    body = b"".join(records)
    flags = 0x8180 | rcode
    if over_udp and 12 + len(question) + len(body) > 512:
        return struct.pack("!HHHHHH", ident, flags | 0x0200, 1, 0, 0, 0) + question
    return struct.pack("!HHHHHH", ident, flags, 1, len(records), 0, 0) + question + body


def serve_udp(address, table, log):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind((address, 53))
    while True:
        query, peer = sock.recvfrom(4096)
        reply = answer(query, table, log, True)
        if reply:
            sock.sendto(reply, peer)


def serve_tcp_client(conn, table, log):
    with conn:
        while True:
            head = conn.recv(2)
            if len(head) < 2:
                return
            (length,) = struct.unpack("!H", head)
            query = b""
            while len(query) < length:
                chunk = conn.recv(length - len(query))
                if not chunk:
                    return
                query += chunk
            reply = answer(query, table, log, False)
            if reply:
                conn.sendall(struct.pack("!H", len(reply)) + reply)


def serve_tcp(address, table, log):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind((address, 53))
    sock.listen(16)
    while True:
        conn, _ = sock.accept()
        threading.Thread(target=serve_tcp_client, args=(conn, table, log), daemon=True).start()


def table_from(items):
    table = {}
    for item in items:
        name, value = item.split("=", 1)
        if value == "silent":
            table[name] = "silent"
        elif value.startswith("many:"):
            count = int(value[5:])
            table[name] = ["198.18.%d.%d" % (i // 250, i % 250 + 1) for i in range(count)]
        else:
            table[name] = value.split(",")
    return table


def main():
    args = sys.argv[1:]
    address, log = args[0], open(args[1], "a")
    table = table_from(args[2:])
    threading.Thread(target=serve_tcp, args=(address, table, log), daemon=True).start()
    print("ready", flush=True)
    serve_udp(address, table, log)


if __name__ == "__main__":
    main()
