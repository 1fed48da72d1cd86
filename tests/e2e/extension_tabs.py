#!/usr/bin/env python3
"""Drives one headless Chromium over --remote-debugging-pipe to watch what Tarrow's
browser extension does with its tabs. Unlike browser_tabs.py it leaves background
networking on: the browser installs policy-forced extensions only with it (inside the
test's network namespace nothing leaves the machine anyway).

Usage: extension_tabs.py <chromium> <profile folder> step...
  ext:<id>        wait (30 s at most) until the extension's worker runs; prints
                  {"extension": id, "after_ms": time since the browser started}
  open:<address>  opens it in a new tab and prints {"open", "url", "title"} once the
                  tab's address has stayed the same for 1.5 s
  keep:<address>  the same, and remembers the tab for follow
  wait:<file>     waits (150 s at most) until the file exists, then prints "go"
  follow:<s>      prints {"kept": address, "after_ms": since the last wait} once the
                  kept tab shows a /blocked page, or after <s> seconds
  tabs:<address>:<n>
                  opens n tabs on the address (query ?tab=i) and prints {"tabs": n} once
                  every one has loaded it
  followall:<s>   prints {"blocked": count, "after_ms": since the last wait} once every
                  tab of the tabs step shows a /blocked page, or after <s> seconds
  time:<address>:<n>
                  navigates one tab n times to the address and prints, per run, the
                  milliseconds from the navigation's start until the tab shows a
                  /blocked page: {"run": i, "ms": ms}
"""
import json
import os
import sys
import time

from browser_tabs import Chromium as PipeChromium


class Chromium(PipeChromium):
    def __init__(self, program, profile):
        super().__init__(program, profile, headless="--headless=new", quiet=False)
        self.started = time.monotonic()

    def target(self, target_id):
        for t in self.call("Target.getTargets")["targetInfos"]:
            if t["targetId"] == target_id:
                return t
        return {}

    def settled(self, target_id):
        last, since, end = None, time.monotonic(), time.monotonic() + 10
        while time.monotonic() < end:
            t = self.target(target_id)
            if t.get("url") != last:
                last, since = t.get("url"), time.monotonic()
            elif time.monotonic() - since >= 1.5:
                break
            time.sleep(0.05)
        return t

    def open(self, address):
        target_id = self.call("Target.createTarget", {"url": address})["targetId"]
        t = self.settled(target_id)
        return target_id, {"open": address, "url": t.get("url"), "title": t.get("title")}


def blocked(url):
    return url.startswith("http://127.0.0.1:") and "/blocked?" in url


def main():
    program, profile, steps = sys.argv[1], sys.argv[2], sys.argv[3:]
    browser = Chromium(program, profile)
    kept, went, many = None, time.monotonic(), []
    try:
        for step in steps:
            kind, value = step.split(":", 1)
            if kind == "ext":
                end, found = time.monotonic() + 30, False
                while time.monotonic() < end and not found:
                    found = any(t["url"].startswith("chrome-extension://" + value + "/")
                                for t in browser.call("Target.getTargets")["targetInfos"])
                    time.sleep(0.1)
                print(json.dumps({"extension": value if found else None,
                                  "after_ms": round((time.monotonic() - browser.started) * 1000)}),
                      flush=True)
            elif kind in ("open", "keep"):
                target_id, result = browser.open(value)
                if kind == "keep":
                    kept = target_id
                print(json.dumps(result), flush=True)
            elif kind == "wait":
                end = time.monotonic() + 150
                while not os.path.exists(value) and time.monotonic() < end:
                    time.sleep(0.01)
                went = time.monotonic()
                print("go", flush=True)
            elif kind == "follow":
                end, url = went + float(value), ""
                while time.monotonic() < end:
                    url = browser.target(kept).get("url", "")
                    if blocked(url):
                        break
                    time.sleep(0.02)
                print(json.dumps({"kept": url, "after_ms": round((time.monotonic() - went) * 1000)}),
                      flush=True)
            elif kind == "tabs":
                address, count = value.rsplit(":", 1)
                many = [browser.call("Target.createTarget",
                                     {"url": address + "?tab=%d" % i})["targetId"]
                        for i in range(int(count))]
                end = time.monotonic() + 60
                while time.monotonic() < end:
                    pages = {t["targetId"]: t for t in browser.call("Target.getTargets")["targetInfos"]}
                    if all(pages.get(i, {}).get("title", "").startswith(address.split("/")[2])
                           for i in many):
                        break
                    time.sleep(0.2)
                print(json.dumps({"tabs": len(many)}), flush=True)
            elif kind == "followall":
                end, count = went + float(value), 0
                while time.monotonic() < end:
                    pages = {t["targetId"]: t for t in browser.call("Target.getTargets")["targetInfos"]}
                    count = sum(blocked(pages.get(i, {}).get("url", "")) for i in many)
                    if count == len(many):
                        break
                    time.sleep(0.05)
                print(json.dumps({"blocked": count, "after_ms": round((time.monotonic() - went) * 1000)}),
                      flush=True)
            elif kind == "time":
                address, runs = value.rsplit(":", 1)
                target_id = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
                session = browser.call("Target.attachToTarget",
                                       {"targetId": target_id, "flatten": True})["sessionId"]
                for run in range(int(runs)):
                    browser.call("Page.navigate", {"url": "about:blank"}, session)
                    time.sleep(0.3)
                    began = time.monotonic()
                    browser.call("Page.navigate", {"url": address + "?run=%d" % run}, session)
                    url, end = "", began + 5
                    while time.monotonic() < end and not blocked(url):
                        url = browser.target(target_id).get("url", "")
                    ms = round((time.monotonic() - began) * 1000, 1) if blocked(url) else None
                    print(json.dumps({"run": run, "ms": ms}), flush=True)
    finally:
        browser.process.kill()
        browser.process.wait()


if __name__ == "__main__":
    main()
