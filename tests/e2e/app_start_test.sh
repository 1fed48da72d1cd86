#!/usr/bin/env bash
# The tarrow program's start as a user meets it: the modes that print and exit, where
# the state folder goes, and a state folder that cannot be made. Needs no root.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work=$(mktemp -d /tmp/tarrow-e2e-start.XXXXXX)
trap 'kill -KILL $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen HOME="$work/user"
unset XDG_RUNTIME_DIR XDG_DATA_HOME
mkdir -p "$HOME"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.2; done
}

# --version and --selftest run before the state folder exists, and create none.
out=$(TARROW_HOME="$work/never" "$bin/tarrow" --verbose --version)
version_line() { [[ "$out" =~ ^Tarrow\ [0-9A-Za-z.]+$ ]]; }
check "--version prints the name and version" version_line
set +e
TARROW_HOME="$work/never" "$bin/tarrow" --selftest > "$work/selftest.out"
status=$?
set -e
check "--selftest passes" [ "$status" = 0 ]
check "--selftest ends with all passed" [ "$(tail -n 1 "$work/selftest.out")" = "all passed" ]
check "--selftest prints one ok line per check" \
  [ "$(grep -vc '^ok    ' "$work/selftest.out")" = 1 ]
# --help prints every mode, starts nothing and exits 0, also beside a mode that would start.
set +e
TARROW_HOME="$work/never" "$bin/tarrow" --page-test --help > "$work/help.out" 2>&1
status=$?
set -e
check "--help exits 0" [ "$status" = 0 ]
check "--help names every mode" bash -c 'for m in --version --selftest --icons --render \
  --suggest --page-test --menu; do grep -q -e "$m" "$1" || exit 1; done' _ "$work/help.out"
check "none of these modes made the state folder" [ ! -e "$work/never" ]

# TARROW_HOME set but empty: the default folder under the home folder.
TARROW_HOME= "$bin/tarrow" 2>"$work/empty-home.err" &
pid=$!
check "an empty TARROW_HOME means the default folder" \
  wait_for 10 test -s "$HOME/.local/share/Tarrow/state"
check "the log is kept there" grep -q "started, state in $HOME/.local/share/Tarrow" \
  "$HOME/.local/share/Tarrow/tarrow.log"
kill -TERM "$pid"
set +e; wait "$pid"; status=$?; set -e
check "SIGTERM exits 0" [ "$status" = 0 ]
check "SIGTERM left the request empty" [ ! -s "$HOME/.local/share/Tarrow/request/blocked-hosts" ]

# A state folder that cannot be created: the app runs on and says why on every tick.
echo "a file, not a folder" > "$work/file"
TARROW_HOME="$work/file/home" "$bin/tarrow" 2>"$work/no-folder.err" &
pid=$!
check "the app keeps running without its state folder" wait_for 12 \
  bash -c "[ \$(grep -c 'cannot write the request: ' '$work/no-folder.err') -ge 2 ]"
check "the reason is given" grep -q 'cannot write the request: .*Not a directory' "$work/no-folder.err"
check "it still runs" kill -0 "$pid"
kill -TERM "$pid"
set +e; wait "$pid"; status=$?; set -e
check "and ends with 0" [ "$status" = 0 ]

if [ "$fails" -ne 0 ]; then
  cat "$work"/*.err
  exit 1
fi
echo "all passed"
