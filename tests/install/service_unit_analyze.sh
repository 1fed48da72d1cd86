#!/usr/bin/env bash
# systemd's own checks of the helper's service unit: it must load without complaint,
# and its exposure score must stay at 2.4 or lower (an unconfined service is 9.6; closing
# a blocked site's open connections costs 0.3: a netlink socket, CAP_NET_ADMIN, and the
# local network's name servers; CAP_CHOWN gives the hits file to its user).
set -euo pipefail
tool="$1"
if ! command -v systemd-analyze >/dev/null; then
  echo "skipped: systemd-analyze is not installed" >&2
  exit 77
fi
work=$(mktemp -d /tmp/tarrow-unit.XXXXXX)
trap 'rm -rf "$work"' EXIT
R="$work/root"
mkdir -p "$R/usr/local/libexec" "$R/var/log" "$R/etc"
helper="${TARROW_BIN:-}/tarrow-helper"
[ -x "$helper" ] || helper=/bin/true
cp "$helper" "$R/usr/local/libexec/de.brightloom.tarrow.helper"

unit="$work/de.brightloom.tarrow.helper.service"
# A request path with every character that means something in a unit file.
"$tool" unit "$R" "/home/o'neil/R&D <x> 50% \$HOME \"q\" \\t/request/blocked-hosts" 1000 > "$unit"

if ! out=$(systemd-analyze verify "$unit" 2>&1) || [ -n "$out" ]; then
  echo "FAIL  systemd-analyze verify:"; echo "$out"; exit 1
fi
echo "ok    systemd-analyze verify accepts the unit"

report=$(systemd-analyze security --offline=yes --no-pager "$unit" 2>&1 || true)
echo "$report" | grep -v '^✓' || true
if ! systemd-analyze security --offline=yes --threshold=24 "$unit" >/dev/null 2>&1; then
  echo "FAIL  exposure above 2.4"; exit 1
fi
echo "ok    exposure at most 2.4"
