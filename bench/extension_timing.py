#!/usr/bin/env python3
"""Times Tarrow's extension in headless Chromium, with the tests' driver (browser_tabs.py):
extension_timing.py <chromium> <profile> step... Steps: ext:<id> (until the extension runs);
time:<address>:<n> (one tab sent there n times, about:blank between: {"run", "ms"} from the
navigation's start to Tarrow's page, ms null if not within 5 s); tabs:<address>:<n> (n tabs
loaded: {"tabs"}); wait:<file>; followall:<s> (until every tab of tabs shows Tarrow's page:
{"blocked", "after_ms"} since the wait)."""
import json, os, sys, time  # noqa: E401

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from browser_tabs import Chromium, blocked  # noqa: E402


def main():
    browser = Chromium(sys.argv[1], sys.argv[2], True)
    went, many, started = time.monotonic(), [], time.monotonic()
    say = lambda **line: print(json.dumps(line), flush=True)  # noqa: E731
    try:
        for step in sys.argv[3:]:
            kind, value = step.split(":", 1)
            address, _, count = value.rpartition(":")
            if kind == "ext":
                end, prefix = time.monotonic() + 30, "chrome-extension://" + value + "/"
                while time.monotonic() < end and not any(
                        t["url"].startswith(prefix) for t in browser.targets()):
                    time.sleep(0.1)
                say(extension=value if time.monotonic() < end else None,
                    after_ms=round((time.monotonic() - started) * 1000))
            elif kind == "wait":
                end = time.monotonic() + 150
                while not os.path.exists(value) and time.monotonic() < end:
                    time.sleep(0.01)
                went = time.monotonic()
            elif kind == "time":
                tab = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
                session = browser.call("Target.attachToTarget",
                                       {"targetId": tab, "flatten": True})["sessionId"]
                for run in range(int(count)):
                    browser.call("Page.navigate", {"url": "about:blank"}, session)
                    time.sleep(0.3)
                    began, url = time.monotonic(), ""
                    browser.call("Page.navigate", {"url": "%s?run=%d" % (address, run)}, session)
                    while time.monotonic() < began + 5 and not blocked(url):
                        url = browser.target(tab).get("url", "")
                    say(run=run, ms=round((time.monotonic() - began) * 1000, 1) if blocked(url) else None)
            elif kind == "tabs":
                many = [browser.call("Target.createTarget",
                                     {"url": "%s?tab=%d" % (address, i)})["targetId"]
                        for i in range(int(count))]
                end, host = time.monotonic() + 60, address.split("/")[2]
                while time.monotonic() < end:
                    pages = {t["targetId"]: t for t in browser.targets()}
                    if all(pages.get(i, {}).get("title", "").startswith(host) for i in many):
                        break
                    time.sleep(0.2)
                say(tabs=len(many))
            elif kind == "followall":
                end = went + float(value)
                while True:
                    pages = {t["targetId"]: t for t in browser.targets()}
                    done = sum(blocked(pages.get(i, {}).get("url", "")) for i in many)
                    if done == len(many) or time.monotonic() > end:
                        break
                    time.sleep(0.05)
                say(blocked=done, after_ms=round((time.monotonic() - went) * 1000))
    finally:
        browser.close()


if __name__ == "__main__":
    main()
