#!/usr/bin/env bash
# Runs the helper's install and removal scripts for real, as root, inside netns.sh:
# every system path the scripts use lies in a scratch root, the real system folders are
# shadowed by empty ones (so a stray write would be seen and lost), /etc is a scratch
# copy, and systemctl is a stand-in that records its calls.
source "$(dirname "$0")/../support/lib.sh"
tool="${1:?usage: install_script_run.sh <install_script_tool>}"
in_namespace "$@"
# Stray writes outside the scratch root would land here and be found.
mount -t tmpfs tmpfs /etc/systemd/system
mount -t tmpfs tmpfs /usr/local
stand_in_admin_tools
R="$work/root"
mkdir -p "$R/etc/systemd/system" "$R/var/log"

bundled="$work/app's bin/tarrow-helper"
mkdir -p "${bundled%/*}"
cp "$bin/tarrow-helper" "$bundled"
cp -r "$bin/de.brightloom.tarrow.extension" "${bundled%/*}/"
digest=$(sha256sum <"$bundled" | cut -d' ' -f1)
request="$work/home/o'neil & <co>/request/blocked-hosts"
helper="$R/usr/local/libexec/de.brightloom.tarrow.helper"
unit="$R/etc/systemd/system/de.brightloom.tarrow.helper.service"

# run <install|remove> [root] [helper] [digest] [request]: the tool's output (standard
# error too) in $out, its exit status in $status; the systemctl record starts afresh.
run() {
  local args=("$work/bin/pkexec" "${2:-$R}")
  [ "$1" = remove ] || args+=("${3:-$bundled}" "${4:-$digest}" "${5:-$request}" 1000)
  rm -f "$work/systemctl.log"
  status=0
  out=$("$tool" "$1" "${args[@]}" 2>&1) || status=$?
}
no_temp_left() { not grep -q -e '^\.tarrow-helper' -e '\.new$' \
  <<<"$(ls -A "$R/usr/local/libexec" "$R/etc/systemd/system")"; }
mode_owner() { stat -c '%a %U:%G' "$1"; }

# 1. Fresh install, over a folder anyone could write to before.
mkdir -p "$R/usr/local/libexec" && chmod 777 "$R/usr/local/libexec"
run install
check "fresh install succeeds" [ "$out" = ok ]
check "helper: same bytes, root's, 755; unit: the built one, 644; nothing left beside them" \
  eval 'cmp -s "$bundled" "$helper" && [ "$(mode_owner "$helper")" = "755 root:root" ] &&
    [ "$(mode_owner "$unit")" = "644 root:root" ] && no_temp_left &&
    cmp -s "$unit" <("$tool" unit "$R" "$request" 1000; echo)'
check "systemctl calls in order" [ "$(systemctl_calls)" = "disable --now de.brightloom.pinfold.helper.service
disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload
enable --now de.brightloom.tarrow.helper.service" ]

# 2. An old daemon that never stops: the wait is bounded (ten checks), the load goes on.
echo 1000 >"$work/active-left"
start=$(now_ms)
run install
elapsed_ms=$(($(now_ms) - start))
check "stuck old daemon: installed after ten checks, about 2 s (${elapsed_ms} ms)" \
  [ "$out" = ok -a "$(systemctl_calls | grep -c is-active)" = 10 -a "$elapsed_ms" -ge 1800 \
  -a "$elapsed_ms" -lt 6000 ]

# 3. A helper that does not match the build: nothing reaches the installed place.
printf 'other build' >"$work/wrong-helper"
run install "" "$work/wrong-helper"
check "mismatch fails and says so" [ "$status" = 1 -a "$out" = "failed: cannot run as root: The helper in the app does not match this version of Tarrow." ]
check "mismatch: installed helper untouched, no copy left, systemctl not called" \
  eval 'cmp -s "$bundled" "$helper" && no_temp_left && [ -z "$(systemctl_calls)" ]'

# 4. Removal while the daemon does not stop fails, says why and keeps both files.
echo 1000 >"$work/active-left"
run remove
echo 0 >"$work/active-left"
check "daemon still running: removal fails, says why, keeps unit and helper" \
  [ "$status" = 1 -a "$out" = "failed: cannot run as root: The helper is still running." \
  -a -e "$unit" -a -e "$helper" ]

# Nothing reached the real system folders.
check "nothing written to /usr/local or /etc/systemd/system" \
  [ -z "$(find /usr/local /etc/systemd/system -mindepth 1)" ]
finish
