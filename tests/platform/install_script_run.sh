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
blocking() {
  mkdir -p "$work/req" && printf 'example.com\n' >"$work/req/blocked-hosts"
  "$helper" --apply "$work/req/blocked-hosts" --uid 0 --hosts /etc/hosts --no-flush
}

# 1. Fresh install, with an older product's helper still in place.
touch "$R/etc/systemd/system/de.brightloom.pinfold.helper.service"
mkdir -p "$R/usr/local/libexec" && chmod 777 "$R/usr/local/libexec"
touch "$R/usr/local/libexec/de.brightloom.pinfold.helper"
run install
check "fresh install succeeds" [ "$out" = ok ]
check "helper in place, same bytes" cmp -s "$bundled" "$helper"
check "helper root-owned, mode 755" [ "$(mode_owner "$helper")" = "755 root:root" ]
check "unit in place, mode 644" [ "$(mode_owner "$unit")" = "644 root:root" ]
check "unit is the built unit" cmp -s "$unit" <("$tool" unit "$R" "$request" 1000; echo)
check "legacy unit and helper removed" [ ! -e "$R/etc/systemd/system/de.brightloom.pinfold.helper.service" \
  -a ! -e "$R/usr/local/libexec/de.brightloom.pinfold.helper" ]
check "no temporary copies left" no_temp_left
check "systemctl calls in order" [ "$(systemctl_calls)" = "disable --now de.brightloom.pinfold.helper.service
disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload
enable --now de.brightloom.tarrow.helper.service" ]

# 2. An old daemon that never stops: the wait is bounded, the load happens anyway.
echo 1000 >"$work/active-left"
start=$(now_ms)
run install
elapsed_ms=$(($(now_ms) - start))
echo 0 >"$work/active-left"
check "stuck old daemon: install goes on" [ "$out" = ok ]
check "stuck old daemon: ten checks" [ "$(systemctl_calls | grep -c is-active)" = 10 ]
check "stuck old daemon: waited about 2 s (${elapsed_ms} ms)" \
  [ "$elapsed_ms" -ge 1800 -a "$elapsed_ms" -lt 6000 ]

# 3. A helper that does not match the build: nothing reaches the installed place.
printf 'other build' >"$work/wrong-helper"
run install "" "$work/wrong-helper"
check "mismatch fails" [ "$status" = 1 ]
check "mismatch message" [ "$out" = "failed: cannot run as root: The helper in the app does not match this version of Tarrow." ]
check "mismatch: installed helper untouched" cmp -s "$bundled" "$helper"
check "mismatch: temporary copy gone" no_temp_left
check "mismatch: systemctl not called" [ -z "$(systemctl_calls)" ]

# 4. Removal reports every step that matters: each row installs afresh, breaks one
# thing, and expects the removal to fail, say why and keep what it names.
out_like() { [[ $out == $1 ]]; }
removal_fails() { # removal_fails <description> <expected message, a pattern> <what is kept...>
  local what=$1 message=$2 kept
  shift 2
  run remove
  check "$what: removal fails" [ "$status" = 1 ]
  check "$what: says why ($out)" out_like "failed: cannot run as root: $message"
  for kept in "$@"; do check "$what: $kept kept" [ -e "$kept" ]; done
}
run install
echo 1000 >"$work/active-left"
removal_fails "daemon still running" "The helper is still running." "$unit" "$helper"
echo 0 >"$work/active-left"

run install
blocking
mount -o remount,bind,ro /etc
removal_fails "read-only hosts folder" \
  "* failed: cannot write /etc/hosts.tarrow-new: Read-only file system" "$helper"
mount -o remount,bind,rw /etc
check "read-only hosts folder: section still there" has_section
run remove

# Nothing reached the real system folders.
check "nothing written to /usr/local" [ -z "$(ls -A /usr/local)" ]
check "nothing written to /etc/systemd/system" [ -z "$(ls -A /etc/systemd/system)" ]
finish
