#!/usr/bin/env python3
"""Keeps one headless Firefox running and opens addresses in it, as a user would, so
that a test can see whether Firefox reaches a site. Talks to it over Marionette.

Usage: firefox_tabs.py <firefox> <profile folder> <prefs JSON> step...
  open:<address>  load it (15 s at most) and print one JSON line
                  {"open": address, "error": navigation error or null, "text": page text}
  wait:<file>     wait until the file exists (60 s at most), then print "go"
"""
import json
import os
import socket
import subprocess
import sys
import time


class Marionette:
    def __init__(self, port):
        for _ in range(200):
            try:
                self.sock = socket.create_connection(("127.0.0.1", port))
                break
            except OSError:
                time.sleep(0.2)
        else:
            raise SystemExit("Firefox did not open Marionette")
        self.buffer = b""
        self.next_id = 0
        self.read()  # the greeting

    def read(self):
        while b":" not in self.buffer:
            self.buffer += self.sock.recv(65536)
        length, rest = self.buffer.split(b":", 1)
        while len(rest) < int(length):
            rest += self.sock.recv(65536)
        self.buffer = rest[int(length):]
        return json.loads(rest[:int(length)])

    def call(self, name, params):
        self.next_id += 1
        data = json.dumps([0, self.next_id, name, params]).encode()
        self.sock.sendall(str(len(data)).encode() + b":" + data)
        while True:
            reply = self.read()
            if reply[0] == 1 and reply[1] == self.next_id:
                return reply[2], reply[3]


def main():
    firefox, profile, prefs = sys.argv[1], sys.argv[2], json.loads(sys.argv[3])
    os.makedirs(profile, exist_ok=True)
    with open(os.path.join(profile, "user.js"), "w") as out:
        for key, value in prefs.items():
            out.write("user_pref(%s, %s);\n" % (json.dumps(key), json.dumps(value)))
    browser = subprocess.Popen(
        [firefox, "--headless", "--marionette", "--no-remote", "--profile", profile],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        env=dict(os.environ, HOME=profile))
    try:
        marionette = Marionette(2828)
        marionette.call("WebDriver:NewSession", {"capabilities": {}})
        marionette.call("WebDriver:SetTimeouts", {"pageLoad": 15000})
        for step in sys.argv[4:]:
            kind, value = step.split(":", 1)
            if kind == "open":
                error, _ = marionette.call("WebDriver:Navigate", {"url": value})
                _, result = marionette.call(
                    "WebDriver:ExecuteScript",
                    {"script": "return document.body ? document.body.innerText : ''",
                     "args": []})
                print(json.dumps({"open": value, "error": error and error.get("error"),
                                  "text": ((result or {}).get("value") or "")[:300]}),
                      flush=True)
            elif kind == "wait":
                end = time.time() + 60
                while not os.path.exists(value) and time.time() < end:
                    time.sleep(0.02)
                print("go", flush=True)
    finally:
        browser.kill()
        browser.wait()


if __name__ == "__main__":
    main()
