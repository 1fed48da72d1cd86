#!/usr/bin/env python3
"""Timings of the helper's daemon from the request's side: the request is replaced as
the app replaces it, and the time until /etc/hosts shows the change is taken. Waits with
inotify for the hosts file's replacement (and the log's growth) rather than polling, so
that the measuring does not compete with the daemon for the CPU.

Usage: request_timing.py single <request> <rounds>
           one new name at a time, after a quiet spell: request -> hosts rewritten
       request_timing.py flip <request> <daemon pid> <daemon log>
           the request flipped between two lists every 10 ms for 5 s
       request_timing.py hold <request> <rounds> <daemon log> <label>
           10 new sites with their aliases blocked (until the "closed" line when the
           label starts with "hold"), then unblocked
Every request holds 50 base names besides; the daemon runs on it already.
"""
import ctypes
import os
import select
import sys
import time

IN_MODIFY, IN_CLOSE_WRITE, IN_MOVED_TO = 0x2, 0x8, 0x80
BASE = ["base%d.example" % i for i in range(1, 51)]
libc = ctypes.CDLL(None, use_errno=True)
watch = libc.inotify_init1(os.O_NONBLOCK)
libc.inotify_add_watch(watch, b"/etc", IN_MOVED_TO | IN_CLOSE_WRITE)


def write(request, names):
    with open(request + ".tmp", "w") as f:
        f.write("".join(n + "\n" for n in names))
    os.rename(request + ".tmp", request)


def hosts_has(needle):
    with open("/etc/hosts", "rb") as f:
        return needle in f.read()


def timed_change(request, names, done):
    """Milliseconds from the request's replacement until done() holds (5 s at most)."""
    start = time.perf_counter()
    write(request, names)
    while not done():
        if time.perf_counter() - start > 5:
            sys.exit("a change was never applied")
        select.select([watch], [], [], 0.05)
        try:
            os.read(watch, 65536)
        except BlockingIOError:
            pass
    return (time.perf_counter() - start) * 1000


def show(label, times):
    times = sorted(times)
    pick = lambda q: times[min(len(times) - 1, int(q * len(times)))]
    print("%-52s n=%d p50=%7.2f ms p99=%7.2f ms max=%7.2f ms"
          % (label, len(times), pick(0.5), pick(0.99), times[-1]), flush=True)


def single(request, rounds):
    times = []
    for i in range(int(rounds)):
        time.sleep(0.4)  # longer than the daemon's rewrite gap: each change is a single one
        needle = b"127.0.0.2 r%d.example\n" % i
        times.append(timed_change(request, BASE + ["r%d.example" % i],
                                  lambda: hosts_has(needle)))
    show("request rewritten -> hosts rewritten:", times)


def flip(request, pid, log):
    tick = os.sysconf("SC_CLK_TCK")

    def cpu():
        with open("/proc/%s/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / tick

    def rewrites():
        with open(log) as f:
            return sum(1 for line in f if "  blocking " in line)

    a, b = BASE + ["flip-a.example"], BASE + ["flip-b.example"]
    time.sleep(1)
    before, cpu_before, size = rewrites(), cpu(), os.path.getsize("/etc/hosts")
    start = time.perf_counter()
    i = 0
    while time.perf_counter() - start < 5:
        write(request, a if i % 2 == 0 else b)
        i += 1
        time.sleep(0.01)
    last = a if (i - 1) % 2 == 0 else b
    elapsed = time.perf_counter() - start
    time.sleep(1)  # the last request settles
    count, used = rewrites() - before, cpu() - cpu_before
    settled = hosts_has(("127.0.0.2 " + last[-1] + "\n").encode())
    print("flipping every 10 ms for %.1f s (%d requests): %.1f rewrites/s, %.1f MB/s written, "
          "helper CPU %.0f%%, ends on the last request: %s"
          % (elapsed, i, count / elapsed, count * size / elapsed / 1e6, 100 * used / (elapsed + 1),
             "yes" if settled else "NO"))


def hold(request, rounds, log, label):
    libc.inotify_add_watch(watch, os.path.dirname(log).encode(), IN_MODIFY)
    cuts = label.startswith("hold")

    def closed_lines():
        with open(log) as f:
            return sum(1 for line in f if "  closed " in line)

    block, unblock = [], []
    for i in range(int(rounds)):
        sites = ["s%d-%d.test" % (i, k) for k in range(10)]
        names = [n for s in sites for n in (s, "www." + s, "m." + s)]
        needle = ("127.0.0.2 m." + sites[-1] + "\n").encode()
        block.append(timed_change(request, BASE + names, lambda: hosts_has(needle) and (
            not cuts or closed_lines() >= i + 1)))
        time.sleep(0.05)
        unblock.append(timed_change(request, BASE, lambda: not hosts_has(needle)))
        time.sleep(0.05)
    show("%-22s block 10 new sites (30 names)" % label, block)
    show("%-22s nothing new (unblocking them)" % label, unblock)


if __name__ == "__main__":
    {"single": single, "flip": flip, "hold": hold}[sys.argv[1]](*sys.argv[2:])
