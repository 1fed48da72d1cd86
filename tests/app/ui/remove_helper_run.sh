#!/usr/bin/env bash
# "Remove Helper…" in the General tab, for real, inside throw-away namespaces (run
# through tests/e2e/netns.sh): a helper is installed at its system path (a tmpfs over
# /usr/local, inside the namespace only) with its unit and a blocking section in the
# scratch /etc; pkexec and systemctl are stand-ins, as in the install tests. The click
# runs the app's real removal script; afterwards the files and the section are gone and
# the tick finds the helper missing.
set -euo pipefail
tool="${1:?usage: remove_helper_run.sh <remove_helper_tool>}"
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
trap 'umount /usr/local 2>/dev/null || true' EXIT
mount -t tmpfs tmpfs /usr/local
mkdir -p /usr/local/libexec /etc/systemd/system "$work/home" "$work/bin" "$work/req"
export QT_QPA_PLATFORM=offscreen
unset XDG_RUNTIME_DIR

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}

helper=/usr/local/libexec/de.brightloom.tarrow.helper
unit=/etc/systemd/system/de.brightloom.tarrow.helper.service
install -m 755 "$bin/tarrow-helper" "$helper"
printf '[Service]\nExecStart=%s\n' "$helper" > "$unit"
digest=$(sha256sum < "$helper" | cut -d' ' -f1)
printf 'example.com\n' > "$work/req/blocked-hosts"
"$helper" --apply "$work/req/blocked-hosts" --uid 0 --hosts /etc/hosts --no-flush
check "a blocking section before the removal" grep -q '^# >>> Tarrow' /etc/hosts

# pkexec stand-in: root already. systemctl stand-in: records its calls.
printf '#!/bin/sh\nexec "$@"\n' > "$work/bin/pkexec"
printf '#!/bin/sh\necho "$*" >> %s/systemctl.log\n' "$work" > "$work/bin/systemctl"
chmod 755 "$work/bin/pkexec" "$work/bin/systemctl"
export PATH="$work/bin:$PATH"

out=$("$tool" "$work/home" "$work/bin/pkexec" "$digest" 2>"$work/tool.err") || true
echo "$out"
has() { grep -qxF -- "$1" <<<"$out"; }
check "the General tab offers the removal" has "button: Remove Helper…"
check "the question comes before the password" \
  has "question: Tarrow removes its helper and unblocks every site."
check "the removal is logged" has "log: helper removed"
check "the tick after it finds no helper" has "after: missing"
check "helper deleted" [ ! -e "$helper" ]
check "unit deleted" [ ! -e "$unit" ]
check "section gone from /etc/hosts" bash -c "! grep -q -e '^# >>> Tarrow' -e example.com /etc/hosts"
check "service stopped and checked, then systemd reloaded" [ "$(cat "$work/systemctl.log")" = \
  "disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload" ]

if [ "$fails" -ne 0 ]; then
  cat "$work/tool.err" >&2
  exit 1
fi
echo "all passed"
