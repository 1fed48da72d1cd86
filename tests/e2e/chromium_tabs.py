#!/usr/bin/env python3
"""Keeps one headless Chromium running and opens addresses in new tabs, as a user would,
so that a test can see whether a tab reaches a site. Talks to the browser over
--remote-debugging-pipe (file descriptors 3 and 4).

Usage: chromium_tabs.py <chromium> <profile folder> step...
  open:<address>  open a new tab, wait until it has loaded (10 s at most) and print one
                  JSON line {"open": address, "url": where it ended, "text": page text}
  wait:<file>     wait until the file exists (60 s at most), then print "go"
"""
import json
import os
import subprocess
import sys
import time


class Browser:
    def __init__(self, chromium, profile):
        to_r, self.to_w = os.pipe()
        from_r, from_w = os.pipe()

        def give_fds():
            reading, writing = os.dup(to_r), os.dup(from_w)
            os.dup2(reading, 3, inheritable=True)
            os.dup2(writing, 4, inheritable=True)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile,
             "--remote-debugging-pipe", "about:blank"],
            preexec_fn=give_fds, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False)
        os.close(to_r)
        os.close(from_w)
        self.reader = os.fdopen(from_r, "rb")
        self.pending = b""
        self.next_id = 0

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

    def open(self, address):
        target = self.call("Target.createTarget", {"url": address})["targetId"]
        session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})[
            "sessionId"]
        # The page's text, also inside shadow roots (the browser's own pages use them).
        probe = "JSON.stringify([document.readyState, location.href, (function walk(n) {" \
                " let t = ''; if (n.shadowRoot) t += walk(n.shadowRoot);" \
                " for (const c of n.childNodes) t += c.nodeType === 3 ? c.textContent + ' '" \
                " : walk(c); return t; })(document.body || document).replace(/\\s+/g, ' ')])"
        state, url, text, before = "", "", "", None
        end = time.time() + 10
        while time.time() < end:
            value = self.call("Runtime.evaluate", {"expression": probe, "returnByValue": True},
                              session).get("result", {}).get("value")
            if value:
                state, url, text = json.loads(value)
                # Loaded, and the text no longer changing (scripts may fill it in).
                if state == "complete" and url != "about:blank" and text == before:
                    break
                before = text
            time.sleep(0.2)
        return {"open": address, "url": url, "text": text.strip()}

    def close(self):
        self.process.kill()
        self.process.wait()


def main():
    browser = Browser(sys.argv[1], sys.argv[2])
    try:
        for step in sys.argv[3:]:
            kind, value = step.split(":", 1)
            if kind == "open":
                print(json.dumps(browser.open(value)), flush=True)
            elif kind == "wait":
                end = time.time() + 60
                while not os.path.exists(value) and time.time() < end:
                    time.sleep(0.02)
                print("go", flush=True)
    finally:
        browser.close()


if __name__ == "__main__":
    main()
