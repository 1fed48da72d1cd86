#!/usr/bin/env python3
"""Drives headless Chromium (--remote-debugging-pipe) or Firefox (Marionette) as a user would:
browser_tabs.py <program> <profile> step... Steps: prefs:<JSON> (Firefox, first); open:<address>
(prints {"open", "url", "title", "text"}); keep:<address> (open, for follow); wait:<file>;
every:<s>:<for s>:<address> (a load each s seconds, with "at"); watch:<s>:<expression> (twice a
second); ext:<id> (until the extension runs; only then background networking, its install needs
it); follow:<s> (once the kept tab shows Tarrow's page: {"kept", "after_ms" since the wait})."""
import json, os, socket, subprocess, sys, time  # noqa: E401

TEXT = ("JSON.stringify([document.readyState, (function walk(n) { let t = '';"
        " if (n.shadowRoot) t += walk(n.shadowRoot); for (const c of n.childNodes)"
        " t += c.nodeType === 3 ? c.textContent + ' ' : walk(c); return t; })"
        "(document.body || document).replace(/\\s+/g, ' ').trim()])")


class Browser:
    def close(self):
        self.process.kill(), self.process.wait()


class Chromium(Browser):
    def __init__(self, program, profile, extensions):
        to_r, self.to_w = os.pipe()
        from_r, from_w = os.pipe()

        def give_fds():  # through spare numbers: a pipe may already sit on 3 or 4
            reading, writing = os.dup(to_r), os.dup(from_w)
            os.dup2(reading, 3, inheritable=True)
            os.dup2(writing, 4, inheritable=True)

        quiet = [] if extensions else ["--disable-background-networking"]
        self.process = subprocess.Popen(
            [program, "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--remote-debugging-pipe"] + quiet + ["about:blank"],
            preexec_fn=give_fds, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False)
        os.close(to_r), os.close(from_w)
        self.reader, self.pending, self.next_id = os.fdopen(from_r, "rb"), b"", 0
        self.settle = 1.5 if extensions else 0.2  # the extension moves tabs after the load

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        message.update({"sessionId": session} if session else {})
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

    def targets(self):
        return self.call("Target.getTargets")["targetInfos"]

    def target(self, target_id):
        return next((t for t in self.targets() if t["targetId"] == target_id), {})

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                         self.session).get("result", {}).get("value")

    def open(self, address):
        self.tab = self.call("Target.createTarget", {"url": address})["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": self.tab, "flatten": True})["sessionId"]
        seen, since, end = None, time.time(), time.time() + 10
        while time.time() < end:  # loaded, and neither address nor text changing
            t, (state, text) = self.target(self.tab), json.loads(self.evaluate(TEXT) or '["", ""]')
            now = (state, t.get("url"), t.get("title"), text)
            if now != seen:
                seen, since = now, time.time()
            elif state == "complete" and now[1] != "about:blank" and time.time() - since >= self.settle:
                break
            time.sleep(0.1)
        return {"open": address, "url": seen[1], "title": seen[2], "text": seen[3]}

class Firefox(Browser):
    def __init__(self, program, profile, prefs):
        os.makedirs(profile, exist_ok=True)
        with open(os.path.join(profile, "user.js"), "w") as out:
            out.writelines("user_pref(%s, %s);\n" % (json.dumps(k), json.dumps(v)) for k, v in prefs.items())
        self.process = subprocess.Popen(
            [program, "--headless", "--marionette", "--no-remote", "--profile", profile],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=dict(os.environ, HOME=profile))
        self.buffer, self.next_id, end = b"", 0, time.time() + 40
        while not hasattr(self, "sock"):
            try:
                self.sock = socket.create_connection(("127.0.0.1", 2828))
            except OSError:
                if time.time() > end:
                    self.close()
                    raise SystemExit("Firefox did not open Marionette")
                time.sleep(0.2)
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


def blocked(url):
    return url.startswith("http://127.0.0.1:") and "/blocked?" in url


def main():
    program, profile, steps = sys.argv[1], sys.argv[2], sys.argv[3:]
    if "firefox" in os.path.basename(program):
        prefs = json.loads(steps.pop(0)[6:]) if steps and steps[0].startswith("prefs:") else {}
        browser = Firefox(program, profile, prefs)
    else:
        browser = Chromium(program, profile, any(s.startswith("ext:") for s in steps))
    kept, went = None, time.monotonic()
    try:
        for step in steps:
            kind, value = step.split(":", 1)
            if kind in ("open", "keep"):
                print(json.dumps(browser.open(value)), flush=True)
                kept = browser.tab if kind == "keep" else kept
            elif kind == "wait":
                end = time.time() + 150
                while not os.path.exists(value) and time.time() < end:
                    time.sleep(0.01)
                went = time.monotonic()
                print("go", flush=True)
            elif kind == "every":
                interval, length, address = value.split(":", 2)
                end = time.time() + float(length)
                while time.time() < end:
                    began = time.time()
                    print(json.dumps(dict(browser.open(address), at=time.time())), flush=True)
                    time.sleep(max(0, float(interval) - (time.time() - began)))
            elif kind == "watch":
                seconds, expression = value.split(":", 1)
                for _ in range(int(float(seconds) * 2)):
                    print(browser.evaluate(expression), flush=True)
                    time.sleep(0.5)
            elif kind == "ext":
                end, prefix = time.time() + 30, "chrome-extension://" + value + "/"
                while time.time() < end and not any(t["url"].startswith(prefix)
                                                    for t in browser.targets()):
                    time.sleep(0.1)
                print(json.dumps({"extension": value if time.time() < end else None}), flush=True)
            elif kind == "follow":
                end, url = went + float(value), ""
                while time.monotonic() < end and not blocked(url):
                    url = browser.target(kept).get("url", "")
                    time.sleep(0.02)
                print(json.dumps({"kept": url, "after_ms": round((time.monotonic() - went) * 1000)}),
                      flush=True)
    finally:
        browser.close()


if __name__ == "__main__":
    main()
