# The benches' shell steps: the tests' (hold_lib.sh, which brings lib.sh), and a name
# server that may answer late and knows wildcard names; sourced.
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/hold_lib.sh"
bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# start_names [--delay-ms=N] name=address...: names.py on 127.0.0.1, the resolver pointed
# at it; "*.suffix" answers every name under the suffix; $names is its pid.
start_names() {
  rm -f /etc/resolv.conf; printf 'nameserver 127.0.0.1\noptions timeout:2 attempts:1\n' >/etc/resolv.conf
  sed -i 's/^hosts:.*/hosts: files dns/' /etc/nsswitch.conf
  background python3 "$bench_dir/names.py" "$work/dns.log" "$@" >"$work/dns.out" 2>&1; names=$!
  wait_for 5 grep -q ready "$work/dns.out" || fail "names.py $*: $(cat "$work/dns.out")"
}
