#!/usr/bin/env python3
"""Keeps one headless browser running and opens addresses in it, as a user would, so that
a test can see whether it reaches a site. Chromium is driven over --remote-debugging-pipe
(file descriptors 3 and 4), Firefox over Marionette; nothing but the browser and Python
is needed.

Usage: browser_tabs.py <chromium or firefox> <profile folder> step...
  prefs:<JSON>    (Firefox, first) preferences written into the profile
  open:<address>  open it (Chromium: in a new tab), wait until it has loaded and print one
                  JSON line {"open": address, "text": page text, ...}
  wait:<file>     wait until the file exists (60 s at most), then print "go"
  every:<seconds>:<for seconds>:<address>
                  (Firefox) open the address again and again, one load every so many
                  seconds, each printed as by open: with "at" (the clock when it ended)
  watch:<seconds>:<expression>
                  (Chromium) print the expression's value on the last tab twice a second
"""
import json
import os
import socket
import subprocess
import sys
import time


class Chromium:
    # quiet: background networking off, as every test but the extension's wants it.
    def __init__(self, program, profile, headless="--headless", quiet=True):
        to_r, self.to_w = os.pipe()
        from_r, from_w = os.pipe()

        def give_fds():
            # Through spare numbers first: a pipe may already sit on 3 or 4, and a
            # descriptor duplicated onto itself would keep its close-on-exec flag.
            reading, writing = os.dup(to_r), os.dup(from_w)
            os.dup2(reading, 3, inheritable=True)
            os.dup2(writing, 4, inheritable=True)

        self.process = subprocess.Popen(
            [program, headless, "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run"] + (["--disable-background-networking"] if quiet else []) +
            ["--disable-component-update", "--disable-sync", "--user-data-dir=" + profile,
             "--remote-debugging-pipe", "about:blank"],
            preexec_fn=give_fds, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False)
        os.close(to_r)
        os.close(from_w)
        self.reader = os.fdopen(from_r, "rb")
        self.pending = b""
        self.next_id = 0
        self.session = None

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_w, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.pending:
                chunk = self.reader.read1(65536)
                if not chunk:
                    raise SystemExit("browser closed the pipe")
                self.pending += chunk
            raw, self.pending = self.pending.split(b"\0", 1)
            reply = json.loads(raw)
            if reply.get("id") == self.next_id:
                return reply.get("result", {})

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                         self.session).get("result", {}).get("value")

    def open(self, address):
        target = self.call("Target.createTarget", {"url": address})["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
        # The page's text, also inside shadow roots (the browser's own pages use them).
        probe = "JSON.stringify([document.readyState, location.href, (function walk(n) {" \
                " let t = ''; if (n.shadowRoot) t += walk(n.shadowRoot);" \
                " for (const c of n.childNodes) t += c.nodeType === 3 ? c.textContent + ' '" \
                " : walk(c); return t; })(document.body || document).replace(/\\s+/g, ' ')])"
        state, url, text, before = "", "", "", None
        end = time.time() + 10
        while time.time() < end:
            value = self.evaluate(probe)
            if value:
                state, url, text = json.loads(value)
                # Loaded, and the text no longer changing (scripts may fill it in).
                if state == "complete" and url != "about:blank" and text == before:
                    break
                before = text
            time.sleep(0.2)
        return {"open": address, "url": url, "text": text.strip()}

    def watch(self, seconds, expression):
        end = time.time() + seconds
        while time.time() < end:
            print(self.evaluate(expression), flush=True)
            time.sleep(0.5)

    def close(self):
        self.process.kill()
        self.process.wait()


class Firefox:
    def __init__(self, program, profile, prefs):
        os.makedirs(profile, exist_ok=True)
        with open(os.path.join(profile, "user.js"), "w") as out:
            for key, value in prefs.items():
                out.write("user_pref(%s, %s);\n" % (json.dumps(key), json.dumps(value)))
        self.process = subprocess.Popen(
            [program, "--headless", "--marionette", "--no-remote", "--profile", profile],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=dict(os.environ, HOME=profile))
        self.buffer = b""
        self.next_id = 0
        try:
            self.connect()
        except BaseException:
            self.close()
            raise

    def connect(self):
        for _ in range(200):
            try:
                self.sock = socket.create_connection(("127.0.0.1", 2828))
                break
            except OSError:
                time.sleep(0.2)
        else:
            raise SystemExit("Firefox did not open Marionette")
        self.read()  # the greeting
        self.call("WebDriver:NewSession", {"capabilities": {}})
        self.call("WebDriver:SetTimeouts", {"pageLoad": 15000})

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

    def open(self, address):
        error, _ = self.call("WebDriver:Navigate", {"url": address})
        _, result = self.call("WebDriver:ExecuteScript", {
            "script": "return document.body ? document.body.innerText : ''", "args": []})
        return {"open": address, "error": error and error.get("error"),
                "text": ((result or {}).get("value") or "")[:300]}

    def close(self):
        self.process.kill()
        self.process.wait()


def main():
    program, profile, steps = sys.argv[1], sys.argv[2], sys.argv[3:]
    if "firefox" in os.path.basename(program):
        prefs = {}
        if steps and steps[0].startswith("prefs:"):
            prefs = json.loads(steps.pop(0)[6:])
        browser = Firefox(program, profile, prefs)
    else:
        browser = Chromium(program, profile)
    try:
        for step in steps:
            kind, value = step.split(":", 1)
            if kind == "open":
                print(json.dumps(browser.open(value)), flush=True)
            elif kind == "wait":
                end = time.time() + 60
                while not os.path.exists(value) and time.time() < end:
                    time.sleep(0.02)
                print("go", flush=True)
            elif kind == "every":
                interval, length, address = value.split(":", 2)
                end = time.time() + float(length)
                while time.time() < end:
                    began = time.time()
                    line = browser.open(address)
                    line["at"] = time.time()
                    print(json.dumps(line), flush=True)
                    time.sleep(max(0, float(interval) - (time.time() - began)))
            elif kind == "watch":
                seconds, expression = value.split(":", 1)
                browser.watch(float(seconds), expression)
    finally:
        browser.close()


if __name__ == "__main__":
    main()
