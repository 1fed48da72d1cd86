# A strict lock kept by the real daemon: a request naming fewer sites, an empty one, a
# stale one and the helper's restart all leave the lock's name blocked; within 3 s of
# its end the section follows the request again; root's --clear ends a lock at once.
source "$(dirname "$0")/../support/lib.sh"
daemon_setup
strict="${request%/*}/strict-lock"
lock=/var/lib/Tarrow/strict-lock

# ask_strict <seconds ahead> <names...>: the app's strict request, as the app writes it.
ask_strict() {
  local until=$(($(date +%s) + $1))
  shift
  mkdir -p "${strict%/*}"
  { printf 'until %s\n' "$(date -u -d "@$until" +%Y-%m-%dT%H:%M:%SZ)"; printf '%s\n' "$@"; } \
    >"$strict.tmp"
  chown "$request_owner" "$strict.tmp"
  mv -f "$strict.tmp" "$strict"
  end=$until
}
# still_kept <what>: after the watch and one timer pass, the locked name is blocked.
still_kept() {
  sleep 3.3
  check "$1 keeps the locked name" hosts_has 127.0.0.2 kept.example
}

write_request kept.example other.example
ask_strict 20 kept.example  # room for four passes of 3.3 s and a restart, on a busy machine
start_daemon
wait_for 5 hosts_has 127.0.0.2 kept.example || fail "not blocked"
check "the lock file is root's alone" wait_for 3 [ "$(stat -c %u:%a "$lock" 2>&1)" = 0:644 ]

write_request other.example
still_kept "a request naming fewer sites"
write_request
still_kept "an empty request"
write_request kept.example other.example
touch -d "@$(($(date +%s) - 600))" "$request" "$strict"
still_kept "a stale request"
stop_daemon
start_daemon
still_kept "the helper's restart"
check "the restarted helper read the lock file" grep -q "strict lock until" "$helper_log"

write_request
while [ "$(date +%s)" -lt "$end" ]; do sleep 0.1; done
check "the section follows the request within 3 s of the end" wait_for 3.5 no_section
check "the lock file is gone" [ ! -e "$lock" ]

write_request other.example
ask_strict 600 kept.example
wait_for 4 hosts_has 127.0.0.2 kept.example || fail "second lock not taken"
wait_for 3 [ -e "$lock" ] || fail "second lock not saved"
"$bin/tarrow-helper" --clear 2>>"$helper_log"
check "--clear removes the lock file" [ ! -e "$lock" ]
check "the daemon then follows the request" wait_for 4 not hosts_has 127.0.0.2 kept.example
check "and does not take the same strict request again" [ ! -e "$lock" ]
finish
