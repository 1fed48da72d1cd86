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

run() {
  rm -f "$work/systemctl.log"
  status=0
  out=$("$tool" "$@" 2>&1) || status=$?
}
install() { run install "$work/bin/pkexec" "$R" "$1" "$digest" "$request" 1000; }
no_temp_left() { [ -z "$(find "$R" -name '.tarrow-helper*' -o -name '*.new')" ]; }
mode_owner() { stat -c '%a %U:%G' "$1"; }

install "$bundled"
check "fresh install succeeds" [ "$out" = ok ]
check "helper: same bytes, root's, 755; unit: the built one, 644; nothing left beside them" \
  eval 'cmp -s "$bundled" "$helper" && [ "$(mode_owner "$helper")" = "755 root:root" ] &&
    [ "$(mode_owner "$unit")" = "644 root:root" ] && no_temp_left &&
    cmp -s "$unit" <("$tool" unit "$R" "$request" 1000; echo)'
check "systemctl calls in order" [ "$(systemctl_calls | grep -v pinfold)" = "disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload
enable --now de.brightloom.tarrow.helper.service" ]

echo 1000 >"$work/active-left"
start=$(now_ms)
install "$bundled"
elapsed_ms=$(($(now_ms) - start))
check "stuck old daemon: installed after ten checks, about 2 s (${elapsed_ms} ms)" \
  [ "$out" = ok -a "$(systemctl_calls | grep -c is-active)" = 10 -a "$elapsed_ms" -ge 1800 \
  -a "$elapsed_ms" -lt 6000 ]

printf 'other build' >"$work/wrong-helper"
install "$work/wrong-helper"
check "mismatch fails and says so" [ "$status" = 1 -a "$out" = "failed: cannot run as root: The helper in the app does not match this version of Tarrow." ]
check "mismatch: installed helper untouched, no copy left, systemctl not called" \
  eval 'cmp -s "$bundled" "$helper" && no_temp_left && [ -z "$(systemctl_calls)" ]'

echo 1000 >"$work/active-left"
run remove "$work/bin/pkexec" "$R"
check "daemon still running: removal fails, says why, keeps unit and helper" \
  [ "$status" = 1 -a "$out" = "failed: cannot run as root: The helper is still running." \
  -a -e "$unit" -a -e "$helper" ]
check "nothing written to /usr/local or /etc/systemd/system" \
  [ -z "$(find /usr/local /etc/systemd/system -mindepth 1)" ]
finish
