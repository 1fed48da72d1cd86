#!/usr/bin/env bash
# What making a block hold costs a pass, measured on the real daemon inside a throw-away
# namespace (run as root; build without sanitizers):
#   - blocking 10 new sites with their aliases (30 names): request rewritten -> section
#     written and connections cut (the helper's "closed ..." line), p50/p99/max;
#   - unblocking them again, a pass in which nothing new is blocked;
# each with a name server that answers at once (names a cache holds) and one that
# answers after 30 ms, with 200 unrelated connections open for the socket listing.
# Given a second helper (today's, without the hold), it runs the same rounds on it and
# prints the difference.
# Usage: bench/bench_hold.sh <folder with tarrow-helper> [<folder with today's>] [rounds]
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    bin=$(cd "${1:?usage: $0 <folder with tarrow-helper> [<baseline folder>] [rounds]}" && pwd)
    base=""
    if [ -n "${2:-}" ]; then base=$(cd "$2" && pwd); fi
    here=$(cd "$(dirname "$0")" && pwd)
    exec bash "$here/../tests/e2e/netns.sh" bash "$here/bench_hold.sh" --inside \
        "$bin" "${base:-none}" "${3:-40}" "$here/../tests/e2e"
fi
bin=$2 base=$3 rounds=$4 e2e=$5
work=$NETNS_SCRATCH
rm -f /etc/resolv.conf
printf 'nameserver 127.0.0.1\noptions timeout:2 attempts:1\n' >/etc/resolv.conf
sed -i 's/^hosts:.*/hosts: files dns/' /etc/nsswitch.conf
ip link add site0 type dummy 2>/dev/null || ip link add site0 type bridge
ip link set site0 up
ip addr add 198.51.100.10/32 dev site0

pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
# 200 connections that stay open, so that listing the sockets has something to look at.
python3 - <<'PY' &
import socket, time
server = socket.socket(); server.bind(("127.0.0.1", 9000)); server.listen(256)
held = [socket.create_connection(("127.0.0.1", 9000)) for _ in range(200)]
accepted = [server.accept()[0] for _ in range(200)]
time.sleep(3600)
PY
pids+=($!)

run() { # run <label> <helper folder> <delay ms>
    local label=$1 helper=$2 delay=$3
    python3 "$e2e/dns_responder.py" --delay-ms="$delay" 127.0.0.1 "$work/dns.log" \
        '*.test=198.51.100.10' >"$work/dns.out" 2>&1 &
    local dns=$!
    for _ in $(seq 100); do grep -q ready "$work/dns.out" && break; sleep 0.05; done
    local request=$work/request/blocked-hosts
    mkdir -p "$work/request"
    printf 'base%d.example\n' $(seq 1 50) >"$request"
    : >"$work/log"
    "$helper/tarrow-helper" --daemon "$request" --uid 0 2>"$work/log" &
    local pid=$!
    for _ in $(seq 100); do grep -q '127.0.0.2 base50.example' /etc/hosts && break; sleep 0.05; done
    python3 - "$request" "$rounds" "$work/log" "$label" <<'PY'
# Waits with inotify for the hosts file's replacement and the log's growth rather than
# polling, so that the measuring does not compete with the daemon for the CPU.
import ctypes, os, select, sys, time
libc = ctypes.CDLL(None, use_errno=True)
fd = libc.inotify_init1(os.O_NONBLOCK)
libc.inotify_add_watch(fd, b"/etc", 0x80 | 0x8)
libc.inotify_add_watch(fd, os.path.dirname(sys.argv[3]).encode(), 0x2)
request, rounds, log, label = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
base = "".join("base%d.example\n" % i for i in range(1, 51))
cuts = label.startswith("hold")

def change(text, needle, present, closed_lines):
    with open(request + ".tmp", "w") as f:
        f.write(text)
    start = time.perf_counter()
    os.rename(request + ".tmp", request)
    while True:
        with open("/etc/hosts", "rb") as f:
            done = (needle in f.read()) == present
        if done and closed_lines is not None:
            with open(log) as f:
                done = sum(1 for line in f if "  closed " in line) >= closed_lines
        if done:
            return (time.perf_counter() - start) * 1000
        if time.perf_counter() - start > 5:
            sys.exit("%s: a change was never applied" % label)
        select.select([fd], [], [], 0.05)
        try:
            os.read(fd, 65536)
        except BlockingIOError:
            pass

block, unblock = [], []
for i in range(rounds):
    sites = ["s%d-%d.test" % (i, k) for k in range(10)]
    names = "".join("%s\nwww.%s\nm.%s\n" % (s, s, s) for s in sites)
    needle = ("127.0.0.2 m." + sites[-1] + "\n").encode()
    block.append(change(base + names, needle, True, i + 1 if cuts else None))
    time.sleep(0.05)
    unblock.append(change(base, needle, False, None))
    time.sleep(0.05)

def show(what, times):
    times = sorted(times)
    pick = lambda q: times[min(len(times) - 1, int(q * len(times)))]
    print("%-22s %-34s n=%d p50=%7.2f ms p99=%7.2f ms max=%7.2f ms"
          % (label, what, len(times), pick(0.5), pick(0.99), times[-1]), flush=True)
    return pick(0.5), pick(0.99)

show("block 10 new sites (30 names)", block)
show("nothing new (unblocking them)", unblock)
PY
    kill "$pid" "$dns" 2>/dev/null || true
    wait "$pid" "$dns" 2>/dev/null || true
}

for delay in 0 30; do
    if [ "$base" != none ]; then run "today, dns ${delay} ms" "$base" "$delay"; fi
    run "hold, dns ${delay} ms" "$bin" "$delay"
done
