#!/usr/bin/env bash
# systemd's own checks of the helper's service unit: it must load without complaint,
# and its exposure score must stay at 2.4 or lower (an unconfined service is 9.6; closing
# a blocked site's open connections costs 0.3: a netlink socket, CAP_NET_ADMIN, and the
# local network's name servers; CAP_CHOWN gives the hits file to its user).
source "$(dirname "$0")/../support/lib.sh"
tool="${1:?usage: service_unit_analyze.sh <install_script_tool>}"
need systemd-analyze
work_folder unit
R="$work/root"
mkdir -p "$R/usr/local/libexec" "$R/var/log" "$R/etc"
cp "$bin/tarrow-helper" "$R/usr/local/libexec/de.brightloom.tarrow.helper"

unit="$work/de.brightloom.tarrow.helper.service"
# A request path with every character that means something in a unit file.
"$tool" unit "$R" "/home/o'neil/R&D <x> 50% \$HOME \"q\" \\t/request/blocked-hosts" 1000 >"$unit"

status=0
out=$(systemd-analyze verify "$unit" 2>&1) || status=$?
check "systemd-analyze verify accepts the unit${out:+: $out}" [ "$status" = 0 -a -z "$out" ]
systemd-analyze security --offline=yes --no-pager "$unit" 2>&1 | grep -v '^✓' || true
check "exposure at most 2.4" \
  systemd-analyze security --offline=yes --threshold=24 --no-pager --quiet "$unit"
finish
