#!/usr/bin/env bash
# "--menu" and "--icons" of the real app, inside the namespaces of netns.sh: the
# installed helper's place is an empty tmpfs, /etc is a private copy, and for the
# working case the real helper daemon applies the request. (The helper states the tick
# finds are app_blocking_test.sh's.)
source "$(dirname "$0")/../support/lib.sh"
in_namespace
private_usr_local
app_home
config() { # config <manualOn> [domain]
  local sites=""
  [ -z "${2:-}" ] ||
    sites="{\"id\": \"0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0\", \"domain\": \"$2\", \"enabled\": true}"
  printf '{"sites": [%s], "schedules": [], "manualOn": %s, "notice": true, "suggest": true}\n' \
    "$sites" "$1" >"$TARROW_HOME/config.json"
}
menu() { "$bin/tarrow" --menu 2>>"$work/app.err"; }
line() { sed -n "$1p" <<<"$out"; }
status_line() { head -1 "$state"; }
R=$'\u2500\u2500\u2500\u2500'

# Helper missing, blocking off, no sites and no schedules: the whole menu.
config false
out=$(menu)
expected="  $(status_line)   (inactive)
  Set Up Blocking…
$R
  Tarrow
  Tarrow For
        25 Minutes
        1 Hour
        2 Hours
        4 Hours
      $R
        Can’t End Early
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
  Settings…   Ctrl+,
  About Tarrow
$R
  Quit Tarrow   Ctrl+Q"
check "missing, off: the whole menu" [ "$out" = "$expected" ]

# Helper missing, blocking on without any site.
config true
out=$(menu)
check "missing, on: status line" [ "$(line 1)" = "  Tarrow – but no site is switched on   (inactive)" ]
check "missing, on: set-up offered" [ "$(line 2)" = "  Set Up Blocking…" ]
check "missing, on: main switch says Okay, Now" [ "$(line 4)" = "  Okay, Now" ]

# An installed helper that is not this build's.
printf 'an older helper' >"$work/old-helper"
install_helper "$work/old-helper"
config false
out=$(menu)
check "outdated: finish updating offered" [ "$(line 2)" = "  Finish Updating…" ]

# This build's helper, blocking off.
install_helper "$bin/tarrow-helper"
out=$(menu)
check "working, off: no set-up item" [ "$(line 2)" = "$R" ]

# This build's helper, running, blocking one site.
config true example.com
start_daemon
menu >/dev/null # writes the request
check "working, on: hosts file blocks the site" wait_for 5 grep -q 'example.com' /etc/hosts
out=$(menu)
stop_daemon
check "working, on: names in the section" grep -q '^blocked now: [1-9][0-9]* host names$' "$state"
check "working, on: status line is the tick's" [ "$(line 1)" = "  $(status_line)   (inactive)" ]
check "working, on: no set-up item" [ "$(line 2)" = "$R" ]
check "working, on: Okay, Now" [ "$(line 3)" = "  Okay, Now" ]
check "working, on: the site is checked" grep -qx '      ✓ example.com' <<<"$out"

# The documentation images.
"$bin/tarrow" --icons "$work/icons/new" >/dev/null 2>>"$work/app.err"
check "--icons writes four images" [ "$(ls "$work/icons/new" | tr '\n' ' ')" = \
  "mark-locked-dark.png mark-locked-light.png mark-unlocked-dark.png mark-unlocked-light.png " ]
finish
