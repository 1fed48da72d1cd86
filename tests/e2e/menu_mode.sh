#!/usr/bin/env bash
# "--menu" and "--icons" of the real app, inside the namespaces of netns.sh: the
# installed helper's place is an empty tmpfs, /etc is a private copy, and for the
# working case the real helper daemon applies the request.
set -euo pipefail
app="$TARROW_BIN/tarrow"
helper="$TARROW_BIN/tarrow-helper"
export QT_QPA_PLATFORM=offscreen
mount -t tmpfs tmpfs /usr/local
home="$NETNS_SCRATCH/home"
export TARROW_HOME="$home"
installed=/usr/local/libexec/de.brightloom.tarrow.helper
unit=/etc/systemd/system/de.brightloom.tarrow.helper.service

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
config() {  # config <manualOn> [domain]
  local sites=""
  [ -n "${2:-}" ] && sites="{\"id\": \"0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0\", \"domain\": \"$2\", \"enabled\": true}"
  mkdir -p "$home"
  printf '{"sites": [%s], "schedules": [], "manualOn": %s, "notice": true, "suggest": true}\n' \
    "$sites" "$1" > "$home/config.json"
}
menu() { "$app" --menu 2>>"$NETNS_SCRATCH/app-stderr"; }
status() { head -1 "$home/state"; }
helper_state() { sed -n 2p "$home/state"; }
install_helper() {  # install_helper <file>
  mkdir -p /usr/local/libexec /etc/systemd/system
  cp "$1" "$installed"
  printf '[Service]\n' > "$unit"
}
R=$'\u2500\u2500\u2500\u2500'

# Helper missing, blocking off, no sites and no schedules: the whole menu.
config false
out=$(menu)
expected="  $(status)   (inactive)
  Set Up Blocking…
$R
  Tarrow
  Tarrow For
        25 Minutes
        1 Hour
        2 Hours
        4 Hours
$R
  Sites to Block
        No sites yet
      $R
        Edit Sites…
  Schedules
        No schedules yet
      $R
        Edit Schedules…
$R
  Settings…   ⌘,
  About Tarrow
$R
  Quit Tarrow   ⌘Q"
check "missing, off: the whole menu" [ "$out" = "$expected" ]
check "missing, off: the tick saw the helper missing" [ "$(helper_state)" = "helper: missing" ]

# Helper missing, blocking on without any site.
config true
out=$(menu)
check "missing, on: status line" [ "$(echo "$out" | head -1)" = "  Tarrow – but no site is switched on   (inactive)" ]
check "missing, on: set-up offered" [ "$(echo "$out" | sed -n 2p)" = "  Set Up Blocking…" ]
check "missing, on: main switch says Okay, Now" [ "$(echo "$out" | sed -n 4p)" = "  Okay, Now" ]

# An installed helper that is not this build's.
printf 'an older helper' > "$NETNS_SCRATCH/old-helper"
install_helper "$NETNS_SCRATCH/old-helper"
config false
out=$(menu)
check "outdated: finish updating offered" [ "$(echo "$out" | sed -n 2p)" = "  Finish Updating…" ]
check "outdated: state" [ "$(helper_state)" = "helper: outdated" ]

# This build's helper, blocking off.
install_helper "$helper"
out=$(menu)
check "working, off: no set-up item" [ "$(echo "$out" | sed -n 2p)" = "$R" ]
check "working, off: state" [ "$(helper_state)" = "helper: working" ]

# This build's helper, running, blocking one site.
config true example.com
"$helper" --daemon "$home/request/blocked-hosts" --uid 0 2>>"$NETNS_SCRATCH/helper-stderr" &
daemon=$!
menu >/dev/null  # writes the request
for _ in $(seq 1 50); do grep -q 'example.com' /etc/hosts && break; sleep 0.1; done
out=$(menu)
kill "$daemon"; wait "$daemon" 2>/dev/null || true
check "working, on: hosts file blocks the site" grep -q 'example.com' /etc/hosts
check "working, on: state" [ "$(helper_state)" = "helper: working" ]
check "working, on: names in the section" grep -q '^blocked now: [1-9][0-9]* host names$' "$home/state"
check "working, on: status line is the tick's" [ "$(echo "$out" | head -1)" = "  $(status)   (inactive)" ]
check "working, on: no set-up item" [ "$(echo "$out" | sed -n 2p)" = "$R" ]
check "working, on: Okay, Now" [ "$(echo "$out" | sed -n 3p)" = "  Okay, Now" ]
check "working, on: the site is checked" bash -c "grep -qx '      ✓ example.com' <<< \"\$1\"" _ "$out"

# The documentation images.
"$app" --icons "$NETNS_SCRATCH/icons/new" >/dev/null 2>>"$NETNS_SCRATCH/app-stderr"
check "--icons writes four images" [ "$(ls "$NETNS_SCRATCH/icons/new" | sort | tr '\n' ' ')" = "mark-locked-dark.png mark-locked-light.png mark-unlocked-dark.png mark-unlocked-light.png " ]

if [ "$fails" != 0 ]; then
  echo "--- app stderr"; cat "$NETNS_SCRATCH/app-stderr" || true
  echo "$fails failed"; exit 1
fi
echo "all passed"
