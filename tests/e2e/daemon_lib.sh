# Shared steps of the daemon tests; sourced by scripts that run inside netns.sh.
set -euo pipefail

helper="${TARROW_BIN:?TARROW_BIN not set}/tarrow-helper"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
user=65534  # the request belongs to this user, as the app's file belongs to its user
request="$work/home/request/blocked-hosts"
log="$work/helper.log"
daemon_pid=""

fail() {
    echo "FAIL: $*" >&2
    echo "--- helper log" >&2
    cat "$log" >&2 || true
    echo "--- /etc/hosts section" >&2
    sed -n '/>>> Tarrow >>>/,/<<< Tarrow <<</p' /etc/hosts >&2 || true
    exit 1
}

# wait_for <seconds> <command...>: polls every 20 ms until the command succeeds.
wait_for() {
    local limit=$1
    shift
    local deadline
    # Milliseconds from awk (the limit may have a fraction), the rest in shell arithmetic:
    # some awks print %d in 32 bits.
    deadline=$(($(date +%s%N) + $(awk "BEGIN {printf \"%d\", $limit * 1000}") * 1000000))
    until "$@"; do
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# write_request <names...>: replaces the request atomically, as the app does.
write_request() {
    mkdir -p "$(dirname "$request")"
    chown "$user" "$(dirname "$request")"
    local temp="$request.tmp"
    rm -f "$temp"
    if [ $# -gt 0 ]; then printf '%s\n' "$@" >"$temp"; else : >"$temp"; fi
    chown "$user" "$temp"
    mv -f "$temp" "$request"
}

start_daemon() {
    "$helper" --daemon "$request" --uid "$user" 2>"$log" &
    daemon_pid=$!
    wait_for 5 grep -q "helper started for $request" "$log" || fail "daemon did not start"
}

stop_daemon() {
    if [ -n "$daemon_pid" ]; then kill "$daemon_pid" 2>/dev/null || true; fi
    wait "$daemon_pid" 2>/dev/null || true
}
trap stop_daemon EXIT

# hosts_has <address> <name>: the section points the name at the address.
hosts_has() { grep -qx "$1 $2" /etc/hosts; }
has_section() { grep -q '>>> Tarrow >>>' /etc/hosts; }
no_section() { ! has_section; }
log_count() { grep -c -- "$1" "$log" || true; }
port_closed() { ! timeout 1 bash -c "exec 3<>/dev/tcp/$1/$2" 2>/dev/null; }
port_open() { ! port_closed "$@"; }
