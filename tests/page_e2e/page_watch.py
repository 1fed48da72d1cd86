#!/usr/bin/env python3
"""Opens one address in headless Chromium and reports, twice a second, what the block
page shows: one JSON line with the lead sentence and whether the how-to and the link
back are hidden. Talks to the browser over --remote-debugging-pipe (file descriptors 3
and 4), so nothing but Chromium and Python is needed.

Usage: page_watch.py <chromium> <profile folder> <address> <seconds>
"""
import json
import os
import subprocess
import sys
import time


def main():
    chromium, profile, address, seconds = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    to_browser_r, to_browser_w = os.pipe()
    from_browser_r, from_browser_w = os.pipe()

    def give_fds():
        # Through spare numbers first: a pipe may already sit on 3 or 4, and a
        # descriptor duplicated onto itself would keep its close-on-exec flag.
        reading, writing = os.dup(to_browser_r), os.dup(from_browser_w)
        os.dup2(reading, 3, inheritable=True)
        os.dup2(writing, 4, inheritable=True)

    browser = subprocess.Popen(
        [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--user-data-dir=" + profile, "--remote-debugging-pipe", address],
        preexec_fn=give_fds, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, close_fds=False)
    os.close(to_browser_r)
    os.close(from_browser_w)
    reader = os.fdopen(from_browser_r, "rb")
    pending = b""
    next_id = [0]

    def call(method, params=None, session=None):
        next_id[0] += 1
        message = {"id": next_id[0], "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(to_browser_w, json.dumps(message).encode() + b"\0")
        nonlocal pending
        while True:
            while b"\0" not in pending:
                chunk = reader.read1(65536)
                if not chunk:
                    raise SystemExit("browser closed the pipe")
                pending += chunk
            raw, pending = pending.split(b"\0", 1)
            answer = json.loads(raw)
            if answer.get("id") == next_id[0]:
                return answer.get("result", {})

    try:
        page = None
        for _ in range(100):
            targets = call("Target.getTargets")["targetInfos"]
            page = next((t for t in targets if t["type"] == "page"), None)
            if page:
                break
            time.sleep(0.1)
        session = call("Target.attachToTarget", {"targetId": page["targetId"], "flatten": True})[
            "sessionId"]
        probe = ("JSON.stringify({line: (document.getElementById('line')||{}).textContent,"
                 " how: !!(document.getElementById('how')||{}).hidden,"
                 " open: !!(document.getElementById('open')||{}).hidden,"
                 " href: ((document.querySelector('#open a')||{}).href)||''})")
        end = time.time() + seconds
        while time.time() < end:
            result = call("Runtime.evaluate", {"expression": probe, "returnByValue": True},
                          session)
            print(result.get("result", {}).get("value", "{}"), flush=True)
            time.sleep(0.5)
    finally:
        browser.kill()
        browser.wait()


if __name__ == "__main__":
    main()
