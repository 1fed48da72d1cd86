#!/usr/bin/env bash
# Runs the helper's install and removal scripts for real, as root, inside a private
# mount namespace: every system path the scripts use lies in a scratch root, the real
# system folders are shadowed by empty ones (so a stray write would be seen and lost),
# /etc is a scratch copy, and systemctl is a stand-in that records its calls.
set -euo pipefail
tool="$1"

if [ "$(id -u)" -ne 0 ] || ! command -v unshare >/dev/null; then
  echo "skipped: needs root and unshare" >&2
  exit 77
fi
if [ "${TARROW_IN_NAMESPACE:-}" != 1 ]; then
  exec env TARROW_IN_NAMESPACE=1 unshare --mount --net bash "$0" "$@"
fi
mount --make-rprivate /

work=$(mktemp -d /tmp/tarrow-install.XXXXXX)
trap 'umount /etc/systemd/system /usr/local /var/lib /etc 2>/dev/null; rm -rf "$work"' EXIT
R="$work/root"
mkdir -p "$R/etc/systemd/system" "$R/var/log" "$work/bin" "$work/etc"

# Stray writes outside the scratch root would land here and be found.
cp -a /etc/. "$work/etc/"
mount --bind "$work/etc" /etc
mount -t tmpfs tmpfs /etc/systemd/system
mount -t tmpfs tmpfs /usr/local
# The helper keeps its own files under /var/lib/Tarrow: an empty /var/lib of this namespace.
mount -t tmpfs tmpfs /var/lib

# pkexec stand-in: we are root already.
printf '#!/bin/sh\nexec "$@"\n' > "$work/bin/pkexec"
# systemctl stand-in: records each call; is-active answers "active" as long as the
# file active-left holds a number above zero, counting it down.
cat > "$work/bin/systemctl" <<STUB
#!/bin/sh
echo "\$*" >> "$work/systemctl.log"
if [ "\$1" = is-active ]; then
  n=\$(cat "$work/active-left" 2>/dev/null || echo 0)
  if [ "\$n" -gt 0 ]; then echo \$((n - 1)) > "$work/active-left"; echo active; exit 0; fi
  echo inactive; exit 3
fi
exit 0
STUB
chmod 755 "$work/bin/pkexec" "$work/bin/systemctl"
export PATH="$work/bin:$PATH"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}

helper_src="${TARROW_BIN:-}/tarrow-helper"
[ -x "$helper_src" ] || helper_src=/bin/true
bundled="$work/app's bin/tarrow-helper"
mkdir -p "$(dirname "$bundled")"
cp "$helper_src" "$bundled"
digest=$(sha256sum < "$bundled" | cut -d' ' -f1)
request="$work/home/o'neil & <co>/request/blocked-hosts"
helper="$R/usr/local/libexec/de.brightloom.tarrow.helper"
unit="$R/etc/systemd/system/de.brightloom.tarrow.helper.service"

no_temp_left() { ! ls -A "$R/usr/local/libexec" "$R/etc/systemd/system" | grep -q -e '^\.tarrow-helper' -e '\.new$'; }
mode_owner() { stat -c '%a %U:%G' "$1"; }
calls() { cat "$work/systemctl.log" 2>/dev/null; }

# 1. Fresh install, with an older product's helper still in place.
touch "$R/etc/systemd/system/de.brightloom.pinfold.helper.service"
mkdir -p "$R/usr/local/libexec"; chmod 777 "$R/usr/local/libexec"
touch "$R/usr/local/libexec/de.brightloom.pinfold.helper"
out=$("$tool" install "$work/bin/pkexec" "$R" "$bundled" "$digest" "$request" 1000)
check "fresh install succeeds" [ "$out" = ok ]
check "helper in place, same bytes" cmp -s "$bundled" "$helper"
check "helper root-owned, mode 755" [ "$(mode_owner "$helper")" = "755 root:root" ]
check "tools folder made root-owned, mode 755" [ "$(mode_owner "$R/usr/local/libexec")" = "755 root:root" ]
check "unit in place, mode 644" [ "$(mode_owner "$unit")" = "644 root:root" ]
check "unit is the built unit" cmp -s "$unit" <("$tool" unit "$R" "$request" 1000; echo)
check "legacy unit removed" [ ! -e "$R/etc/systemd/system/de.brightloom.pinfold.helper.service" ]
check "legacy helper removed" [ ! -e "$R/usr/local/libexec/de.brightloom.pinfold.helper" ]
check "no temporary copies left" no_temp_left
expected_calls="disable --now de.brightloom.pinfold.helper.service
disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload
enable --now de.brightloom.tarrow.helper.service"
check "systemctl calls in order" [ "$(calls)" = "$expected_calls" ]

# 2. A second install of the same build, while the old daemon takes three checks to stop.
rm -f "$work/systemctl.log"; echo 3 > "$work/active-left"
before=$(stat -c %i "$helper")
out=$("$tool" install "$work/bin/pkexec" "$R" "$bundled" "$digest" "$request" 1000)
check "second install succeeds" [ "$out" = ok ]
check "same bytes again" cmp -s "$bundled" "$helper"
check "replaced by a new file" [ "$(stat -c %i "$helper")" != "$before" ]
check "waited for the old daemon, then loaded" [ "$(calls | grep -c is-active)" = 4 ] 
check "loaded last" [ "$(calls | tail -1)" = "enable --now de.brightloom.tarrow.helper.service" ]

# 3. An old daemon that never stops: the wait is bounded, the load happens anyway.
rm -f "$work/systemctl.log"; echo 1000 > "$work/active-left"
start=$(date +%s%N)
out=$("$tool" install "$work/bin/pkexec" "$R" "$bundled" "$digest" "$request" 1000)
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
check "stuck old daemon: install goes on" [ "$out" = ok ]
check "stuck old daemon: ten checks" [ "$(calls | grep -c is-active)" = 10 ]
check "stuck old daemon: waited about 2 s (${elapsed_ms} ms)" [ "$elapsed_ms" -ge 1800 ] && [ "$elapsed_ms" -lt 6000 ]
echo 0 > "$work/active-left"

# 4. A helper that does not match the build: nothing reaches the installed place.
rm -f "$work/systemctl.log"
printf 'other build' > "$work/wrong-helper"
set +e
out=$("$tool" install "$work/bin/pkexec" "$R" "$work/wrong-helper" "$digest" "$request" 1000 2>&1)
status=$?
set -e
check "mismatch fails" [ "$status" = 1 ]
check "mismatch message" [ "$out" = "failed: cannot run as root: The helper in the app does not match this version of Tarrow." ]
check "mismatch: installed helper untouched" cmp -s "$bundled" "$helper"
check "mismatch: temporary copy gone" no_temp_left
check "mismatch: systemctl not called" [ -z "$(calls)" ]

# 5. Mismatch on a fresh system: no helper appears at all.
R2="$work/root2"; mkdir -p "$R2/etc/systemd/system"
set +e
"$tool" install "$work/bin/pkexec" "$R2" "$work/wrong-helper" "$digest" "$request" 1000 >/dev/null 2>&1
set -e
check "fresh mismatch: nothing installed" [ -z "$(ls -A "$R2/usr/local/libexec")" ]

# 6. The app's helper cannot be read: the script fails, no copy left behind.
set +e
out=$("$tool" install "$work/bin/pkexec" "$R" "$work/no-such-helper" "$digest" "$request" 1000 2>&1)
status=$?
set -e
check "missing bundled helper fails" [ "$status" = 1 ]
check "missing bundled helper: no copy left" no_temp_left

# 7. A step after the digest test fails (the unit folder is read-only): the script ends
# with an error and the daemon is not touched.
rm -f "$work/systemctl.log"
mount --bind "$R/etc/systemd/system" "$R/etc/systemd/system"
mount -o remount,bind,ro "$R/etc/systemd/system"
set +e; out=$("$tool" install "$work/bin/pkexec" "$R" "$bundled" "$digest" "$request" 1000 2>&1); status=$?; set -e
umount "$R/etc/systemd/system"
check "failing step is reported ($out)" [ "$status" = 1 ]
check "failing step: systemctl not called" [ -z "$(calls)" ]

# 8. Removal while blocking: the section leaves the hosts file, then the files go.
rm -f "$work/systemctl.log"
if [ "$helper_src" != /bin/true ]; then
  mkdir -p "$work/req"; printf 'example.com\n' > "$work/req/blocked-hosts"
  # A browser's policy folder (in the scratch /etc): blocking puts the helper's policy there.
  mkdir -p /etc/chromium/policies/managed
  policy=/etc/chromium/policies/managed/de.brightloom.tarrow.helper.json
  "$helper" --apply "$work/req/blocked-hosts" --uid 0 --hosts /etc/hosts --no-flush
  check "section present before removal" grep -q '^# >>> Tarrow' /etc/hosts
  check "browser policy present before removal" [ -e "$policy" ]
fi
out=$("$tool" remove "$work/bin/pkexec" "$R")
check "removal succeeds" [ "$out" = ok ]
if [ "$helper_src" != /bin/true ]; then
  check "section removed by the helper" bash -c "! grep -q -e '^# >>> Tarrow' -e 'example.com' /etc/hosts"
  check "browser policy removed by the helper" [ ! -e "$policy" ]
fi
check "helper deleted" [ ! -e "$helper" ]
check "unit deleted" [ ! -e "$unit" ]
check "removal calls" [ "$(calls)" = "disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload" ]
out=$("$tool" remove "$work/bin/pkexec" "$R")
check "removing again succeeds" [ "$out" = ok ]

# 8b. Removal reports every step that matters. Each row installs afresh, breaks one
# thing, and expects the removal to fail and say why.
removal_fails() {  # removal_fails <description> <expected message> <what is kept...>
  local what=$1 message=$2; shift 2
  set +e; out=$("$tool" remove "$work/bin/pkexec" "$R" 2>&1); status=$?; set -e
  check "$what: removal fails ($out)" [ "$status" = 1 ]
  check "$what: says why" [ "$out" = "failed: cannot run as root: $message" ]
  for kept in "$@"; do check "$what: $kept kept" [ -e "$kept" ]; done
}
reinstall() { "$tool" install "$work/bin/pkexec" "$R" "$bundled" "$digest" "$request" 1000 >/dev/null; }

reinstall
mount --bind "$R/etc/systemd/system" "$R/etc/systemd/system"
mount -o remount,bind,ro "$R/etc/systemd/system"
removal_fails "read-only unit folder" \
  "rm: cannot remove '$unit': Read-only file system" "$unit"
umount "$R/etc/systemd/system"

reinstall
echo 1000 > "$work/active-left"
removal_fails "daemon still running" "The helper is still running." "$unit" "$helper"
echo 0 > "$work/active-left"

if [ "$helper_src" != /bin/true ]; then
  reinstall
  "$helper" --apply "$work/req/blocked-hosts" --uid 0 --hosts /etc/hosts --no-flush
  mount -o remount,bind,ro /etc
  set +e; out=$("$tool" remove "$work/bin/pkexec" "$R" 2>&1); status=$?; set -e
  mount -o remount,bind,rw /etc
  check "read-only hosts folder: removal fails ($out)" [ "$status" = 1 ]
  check "read-only hosts folder: says why" bash -c "[[ \"\$1\" == *'failed: cannot write /etc/hosts.tarrow-new: Read-only file system' ]]" _ "$out"
  check "read-only hosts folder: section still there" grep -q '^# >>> Tarrow' /etc/hosts
  check "read-only hosts folder: helper kept" [ -e "$helper" ]
  "$tool" remove "$work/bin/pkexec" "$R" >/dev/null
fi

# 9. Unusable request paths are refused before anything runs.
set +e
out=$("$tool" install "$work/bin/pkexec" "$R" "$bundled" "$digest" "$work/a
b" 1000); status=$?
set -e
check "line break in request path refused" [ "$status" = 2 ] && [ "$out" = refused ]

# Nothing reached the real system folders.
check "nothing written to /usr/local" [ -z "$(ls -A /usr/local)" ]
check "nothing written to /etc/systemd/system" [ -z "$(ls -A /etc/systemd/system)" ]

[ "$fails" = 0 ] && echo "all passed" || { echo "$fails failed"; exit 1; }
