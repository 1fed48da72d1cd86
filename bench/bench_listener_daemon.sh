#!/usr/bin/env bash
# Timing figures of the helper's daemon, measured on the real program inside a
# throw-away namespace (run as root; build without sanitizers for the memory figure):
#   - request rewritten -> hosts file rewritten: latency p50/p99/max over many rewrites;
#   - wake-ups of an idle daemon (its threads' context switches per minute);
#   - resident memory while blocking with the listener up.
# Usage: bench/bench_listener_daemon.sh <folder with tarrow-helper> [rewrites] [idle seconds]
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    bin=$(cd "${1:?usage: $0 <folder with tarrow-helper> [rewrites] [idle seconds]}" && pwd)
    here=$(cd "$(dirname "$0")" && pwd)
    exec bash "$here/../tests/e2e/netns.sh" bash "$here/bench_listener_daemon.sh" --inside \
        "$bin" "${2:-100}" "${3:-30}"
fi
bin=$2 rewrites=$3 idle=$4
work=$NETNS_SCRATCH
request=$work/request/blocked-hosts
mkdir -p "$work/request"
printf 'base%d.example\n' $(seq 1 50) >"$request"
"$bin/tarrow-helper" --daemon "$request" --uid 0 2>"$work/log" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do grep -q '127.0.0.2 base50.example' /etc/hosts && break; sleep 0.05; done

python3 - "$request" "$rewrites" <<'PY'
# Waits for the hosts file's replacement with inotify rather than polling, so that the
# measuring does not compete with the daemon for the CPU.
import ctypes, os, select, sys, time
libc = ctypes.CDLL(None, use_errno=True)
IN_MOVED_TO, IN_CLOSE_WRITE = 0x80, 0x8
fd = libc.inotify_init1(os.O_NONBLOCK)
libc.inotify_add_watch(fd, b"/etc", IN_MOVED_TO | IN_CLOSE_WRITE)
request, rounds = sys.argv[1], int(sys.argv[2])
base = "".join("base%d.example\n" % i for i in range(1, 51))
times = []
for i in range(rounds):
    name = "r%d.example" % i
    with open(request + ".tmp", "w") as f:
        f.write(base + name + "\n")
    needle = ("127.0.0.2 " + name + "\n").encode()
    start = time.perf_counter()
    os.rename(request + ".tmp", request)
    while True:
        with open("/etc/hosts", "rb") as f:
            if needle in f.read():
                break
        if time.perf_counter() - start > 5:
            print("rewrite %d never applied" % i); sys.exit(1)
        select.select([fd], [], [], 0.05)
        try:
            os.read(fd, 65536)
        except BlockingIOError:
            pass
    times.append((time.perf_counter() - start) * 1000)
    time.sleep(0.3)  # longer than the daemon's rewrite gap: each change is a single one
times.sort()
pick = lambda q: times[min(len(times) - 1, int(q * len(times)))]
print("request rewrite -> hosts rewritten: n=%d p50=%.2f ms p99=%.2f ms max=%.2f ms"
      % (len(times), pick(0.5), pick(0.99), times[-1]))
PY

status() { grep -E "^$1:" /proc/$pid/status | awk '{print $2}'; }
echo "resident memory while blocking: VmRSS=$(status VmRSS) kB VmHWM=$(status VmHWM) kB threads=$(status Threads)"

switches() {
    local total=0
    for t in /proc/$pid/task/*; do
        total=$((total + $(awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {s+=$2} END {print s}' "$t/status")))
    done
    echo "$total"
}
measure_idle() {
    local before after
    before=$(switches)
    sleep "$idle"
    after=$(switches)
    echo "$1: $((after - before)) wake-ups in $idle s ($(((after - before) * 60 / idle)) per minute, $(ls /proc/$pid/task | wc -l) threads)"
}
measure_idle "idle while blocking (listener up, no connections)"

: >"$request"
for _ in $(seq 100); do grep -q 'Tarrow' /etc/hosts || break; sleep 0.05; done
measure_idle "idle with nothing blocked"
echo "resident memory idle: VmRSS=$(status VmRSS) kB"

# Blocking again for the load.
printf 'base%d.example\n' $(seq 1 50) >"$request"
for _ in $(seq 100); do grep -q '127.0.0.2 base50.example' /etc/hosts && break; sleep 0.05; done
# Memory after load: 2000 short requests, then 200 clients that hold their connection
# after sending an unfinished head or hello of 12-16 KB (64 of them are handled at
# once, each with its buffer).
python3 - <<'PY'
import socket, time
for i in range(2000):
    s = socket.create_connection(("127.0.0.2", 80))
    s.sendall(b"GET / HTTP/1.1\r\nHost: base%d.example\r\n\r\n" % (i % 50 + 1))
    while s.recv(65536): pass
    s.close()
held = []
for i in range(200):
    s = socket.create_connection(("127.0.0.2", 443 if i % 2 else 80))
    s.sendall(b"\x16\x03\x01\x3f\xff\x01" + b"x" * 16000 if i % 2 else b"GET / HTTP/1.1\r\n" + b"X: y\r\n" * 2000)
    held.append(s)
time.sleep(1)
PY
echo "resident memory after 2000 requests and 200 held connections: VmRSS=$(status VmRSS) kB VmHWM=$(status VmHWM) kB"
