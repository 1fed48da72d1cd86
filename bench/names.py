#!/usr/bin/env python3
"""The tests' name server (servers.py dns) on UDP 127.0.0.1:53, with what the benches add:
names.py <log> [--delay-ms=N] name=address,...: a name "*.suffix" answers every name under the
suffix; each answer leaves N ms late, as across a network (queries still overlap)."""
import os, socket, sys, threading  # noqa: E401

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from servers import answer  # noqa: E402


class Names(dict):
    def get(self, name, default=None):
        return dict.get(self, name) or next(
            (v for k, v in self.items() if k.startswith("*.") and name.endswith(k[1:])), default)


def main():
    log, args = open(sys.argv[1], "a"), sys.argv[2:]
    delay = int(args.pop(0).split("=")[1]) / 1000 if args and args[0].startswith("--delay-ms=") else 0
    table = Names((i.split("=")[0], i.split("=")[1].split(",")) for i in args)
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 53))
    print("ready", flush=True)
    while True:
        query, peer = sock.recvfrom(4096)
        reply = answer(query, table, log)
        if delay:
            threading.Timer(delay, sock.sendto, (reply, peer)).start()
        else:
            sock.sendto(reply, peer)


if __name__ == "__main__":
    main()
