#!/usr/bin/env bash
# What Firefox's short name cache (the helper's policy) costs a page load: a page with
# images from six host names of its own, served without keep-alive so that every load
# opens new connections and so needs each name's address, loaded every second in a
# headless Firefox, with network.dnsCacheExpiration 0 and 3 s (grace period 0) and with
# Firefox's defaults (60 s, 60 s grace), each with the name server answering after
# <delay> ms (one across a network), and again with a caching local resolver (nscd)
# in front of it; each as Firefox comes (its predictor looks names up and opens
# connections ahead of a load) and with that turned off (every lookup on the way of the
# load: the worst case). Prints the median and 90th percentile of the load times.
# Usage: bench/bench_firefox_cache.sh <nscd program> [delay ms] [loads]
#   (the nscd program may be one unpacked from Debian's package: apt-get download nscd;
#   its nscd.conf is looked for at ../../etc beside it)
source "$(dirname "$0")/bench_lib.sh"
usage="usage: $0 <nscd program> [delay ms] [loads]"
nscd=$(realpath "${1:?$usage}")
delay=${2:-20}
loads=${3:-20}
in_namespace "$nscd" "$delay" "$loads"
firefox=$(command -v firefox-esr || command -v firefox) || skip "no Firefox"

site_network
start_names --delay-ms="$delay" '*.test'=$site_address
mkdir "$work/www"
cat >"$work/make_page.py" <<'MAKE'
import base64, sys
open(sys.argv[1] + "/p.png", "wb").write(base64.b64decode(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg=="))
# The images are written by a script with a fresh query each load, so that none comes
# from Firefox's own HTTP cache.
script = "".join("document.write('<img src=\"http://img%d.test:8080/p.png?' + Date.now() + '\">');"
                 % i for i in range(1, 7))
with open(sys.argv[1] + "/index.html", "w") as out:
    out.write("<html><body>page <script>" + script + "</script></body></html>")
MAKE
python3 "$work/make_page.py" "$work/www"
background python3 -m http.server 8080 --bind "$site_address" -d "$work/www" >/dev/null 2>&1
wait_for 5 bash -c "exec 3<>/dev/tcp/$site_address/8080" 2>/dev/null || fail "no web server"

ahead='"network.predictor.enabled": false, "network.http.speculative-parallel-limit": 0,
  "network.dns.disablePrefetch": true,'
run() { # run <label> <expiration> <grace> [more prefs]
  local prefs="{${4:-} \"network.dnsCacheExpiration\": $2, \"network.dnsCacheExpirationGracePeriod\": $3,
    \"app.update.enabled\": false, \"network.captive-portal-service.enabled\": false,
    \"network.connectivity-service.enabled\": false, \"toolkit.telemetry.enabled\": false}"
  rm -rf "$work/profile"
  : >"$work/dns.log"
  python3 "$(dirname "$0")/firefox_load_timing.py" "$firefox" "$work/profile" "$prefs" \
    "http://page.test:8080/" "$loads" 1 >"$work/times" 2>"$work/timing.err" || fail "$1: Firefox failed"
  python3 -c 'import statistics, sys
t = sorted(float(l) for l in open(sys.argv[2]))
print("%-40s median %5.0f ms  p90 %5.0f ms  (%d loads, %d name server queries:" % (
    sys.argv[1], statistics.median(t), t[max(0, int(len(t) * 0.9) - 1)], len(t),
    sum(1 for _ in open(sys.argv[3]))))
import collections
print("   ", ", ".join("%s %d" % kv for kv in sorted(collections.Counter(
    l.split()[0].replace("65", "HTTPS") for l in open(sys.argv[3])).items())) + ")")' "$1" "$work/times" "$work/dns.log"
}

echo "name server answering after $delay ms; $loads loads a second apart"
for resolver in none nscd; do
  if [ $resolver = nscd ]; then
    sed -e 's/^\(\s*persistent\s\+\S\+\s\+\)yes/\1no/' -e 's/^\(\s*shared\s\+\S\+\s\+\)yes/\1no/' \
      "$(dirname "$nscd")/../../etc/nscd.conf" >"$work/nscd.conf" 2>/dev/null ||
      printf 'enable-cache hosts yes\npositive-time-to-live hosts 3600\n' >"$work/nscd.conf"
    # Its socket folder, on a /run of this namespace's own.
    mount -t tmpfs tmpfs /run && mkdir /run/nscd
    "$nscd" -f "$work/nscd.conf" || fail "nscd did not start"
    wait_for 5 test -S /run/nscd/socket || fail "no nscd socket"
  fi
  run "$resolver, expiration 0" 0 0
  run "$resolver, expiration 3 s" 3 0
  run "$resolver, Firefox's defaults" 60 60
  run "$resolver, no lookahead, expiration 0" 0 0 "$ahead"
  run "$resolver, no lookahead, expiration 3 s" 3 0 "$ahead"
  run "$resolver, no lookahead, defaults" 60 60 "$ahead"
done
finish
