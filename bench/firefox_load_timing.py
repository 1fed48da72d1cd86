#!/usr/bin/env python3
"""Loads one address in a headless Firefox again and again and prints each load's time
(navigation start to the end of the load event, in ms), one per line.

Usage: firefox_load_timing.py <firefox> <profile folder> <prefs JSON> <address> <loads> <gap s>
The first load warms the browser up and is not printed.
"""
import json
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from browser_tabs import Firefox  # noqa: E402


def main():
    program, profile, prefs, address, loads, gap = sys.argv[1:7]
    browser = Firefox(program, profile, json.loads(prefs))
    try:
        for i in range(int(loads) + 1):
            began = time.time()
            # A new address each time, as when one goes from page to page of a site.
            browser.call("WebDriver:Navigate", {"url": "%s?load=%d" % (address, i)})
            _, result = browser.call("WebDriver:ExecuteScript", {
                "script": "const t = performance.timing;"
                          " return t.loadEventEnd - t.navigationStart", "args": []})
            if i:
                print(result["value"], flush=True)
            time.sleep(max(0, float(gap) - (time.time() - began)))
    finally:
        browser.close()


if __name__ == "__main__":
    main()
