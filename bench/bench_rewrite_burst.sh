#!/usr/bin/env bash
# What the request's owner can make the root helper do, measured on the real daemon
# inside a throw-away namespace (run as root):
#   - a request flipped between two lists every 10 ms for 5 s: hosts file rewrites per
#     second, megabytes written per second and the helper's CPU share, and whether the
#     last request is the one applied;
#   - single changes (400 ms apart): request rewritten -> hosts file rewritten, p50/p99.
# Usage: bench/bench_rewrite_burst.sh <folder with tarrow-helper> [rounds]
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    bin=$(cd "${1:?usage: $0 <folder with tarrow-helper> [rounds]}" && pwd)
    here=$(cd "$(dirname "$0")" && pwd)
    exec bash "$here/../tests/e2e/netns.sh" bash "$here/bench_rewrite_burst.sh" --inside \
        "$bin" "${2:-100}"
fi
bin=$2 rounds=$3
work=$NETNS_SCRATCH
request=$work/request/blocked-hosts
mkdir -p "$work/request"
# A hosts file of realistic size: a long foreign list, and 50 blocked names.
for i in $(seq 1 20000); do echo "0.0.0.0 tracker$i.ads.example.net"; done >>/etc/hosts
printf 'base%d.example\n' $(seq 1 50) >"$request"
"$bin/tarrow-helper" --daemon "$request" --uid 0 2>"$work/log" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do grep -q '127.0.0.2 base50.example' /etc/hosts && break; sleep 0.05; done

python3 - "$request" "$rounds" "$pid" "$work/log" <<'PY'
import ctypes, os, select, sys, time
libc = ctypes.CDLL(None, use_errno=True)
IN_MOVED_TO, IN_CLOSE_WRITE = 0x80, 0x8
request, rounds, pid, log = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
tick = os.sysconf("SC_CLK_TCK")

def cpu():
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / tick

def write(names):
    with open(request + ".tmp", "w") as f:
        f.write("".join(n + "\n" for n in names))
    os.rename(request + ".tmp", request)

def rewrites():
    with open(log) as f:
        return sum(1 for line in f if "  blocking " in line)

base = ["base%d.example" % i for i in range(1, 51)]
a, b = base + ["flip-a.example"], base + ["flip-b.example"]

# 1. Flipping.
time.sleep(1)
before, cpu_before, size = rewrites(), cpu(), os.path.getsize("/etc/hosts")
start = time.perf_counter()
i = 0
while time.perf_counter() - start < 5:
    write(a if i % 2 == 0 else b)
    i += 1
    time.sleep(0.01)
last = a if (i - 1) % 2 == 0 else b
elapsed = time.perf_counter() - start
time.sleep(1)  # the last request settles
count = rewrites() - before
used = cpu() - cpu_before
with open("/etc/hosts") as f:
    hosts = f.read()
settled = ("127.0.0.2 " + last[-1] + "\n") in hosts
print("flipping every 10 ms for %.1f s (%d requests): %.1f rewrites/s, %.1f MB/s written, "
      "helper CPU %.0f%%, ends on the last request: %s"
      % (elapsed, i, count / elapsed, count * size / elapsed / 1e6, 100 * used / (elapsed + 1),
         "yes" if settled else "NO"))

# 2. Single changes, each after a quiet spell.
fd = libc.inotify_init1(os.O_NONBLOCK)
libc.inotify_add_watch(fd, b"/etc", IN_MOVED_TO | IN_CLOSE_WRITE)
times = []
for r in range(rounds):
    time.sleep(0.4)
    name = "r%d.example" % r
    needle = ("127.0.0.2 " + name + "\n").encode()
    with open(request + ".tmp", "w") as f:
        f.write("".join(n + "\n" for n in base + [name]))
    start = time.perf_counter()
    os.rename(request + ".tmp", request)
    while True:
        with open("/etc/hosts", "rb") as f:
            if needle in f.read():
                break
        if time.perf_counter() - start > 5:
            print("change %d never applied" % r); sys.exit(1)
        select.select([fd], [], [], 0.05)
        try:
            os.read(fd, 65536)
        except BlockingIOError:
            pass
    times.append((time.perf_counter() - start) * 1000)
times.sort()
pick = lambda q: times[min(len(times) - 1, int(q * len(times)))]
print("single change -> hosts rewritten: n=%d p50=%.2f ms p99=%.2f ms max=%.2f ms"
      % (len(times), pick(0.5), pick(0.99), times[-1]))
PY
