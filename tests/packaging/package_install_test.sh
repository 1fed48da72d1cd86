#!/usr/bin/env bash
# The Debian package installed, upgraded and removed for real with dpkg, inside the
# namespaces of netns.sh --overlay: /usr, /etc and /var are throw-away overlays over the
# machine's own, systemctl and pkexec are stand-ins (systemctl records its calls), and
# "systemd runs" when /run/systemd/system exists. The helper is installed as the app's
# set-up installs it: its own script, run through the packaged admin shell.
#
# Usage (as root): netns.sh --overlay bash package_install_test.sh <install_script_tool>
source "$(dirname "$0")/../support/lib.sh"
tool="${1:?usage: package_install_test.sh <install_script_tool>}"
in_namespace --overlay "$@"
deb=$(ls "$source_dir"/build-package/tarrow_*.deb)
export PATH="/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
stand_in_admin_tools
app_home
# The manual-page index is not what is tested, and rebuilding it takes seconds per run.
rm -f /var/lib/man-db/auto-update

unit=de.brightloom.tarrow.helper.service
unit_file=$helper_unit
installed=$installed_helper
shipped=/usr/libexec/tarrow/tarrow-helper
hosts_before=$(cat /etc/hosts)

systemd_runs() { mkdir -p /run/systemd/system; }
systemd_stopped() { rm -rf /run/systemd/system; }
digest() { sha256sum < "$1" | cut -d' ' -f1; }
dpkg_run() { # dpkg_run <arguments...>: output in $out, exit status in $status
  rm -f "$work/systemctl.log"
  status=0
  out=$(dpkg "$@" 2>&1) || status=$?
}
said() { grep -qxF "tarrow: $1" <<< "$out"; }
install_helper_as_app() {  # what "Set Up Blocking…" runs, with the app's digest
  "$tool" install "$work/bin/pkexec" "" "$shipped" "$(digest "$shipped")" "$request" 0 >/dev/null
}
block() { # a section, written by the installed helper from a request as its daemon would
  write_request example.com
  "$installed" --apply "$request" --uid 0 --no-flush 2>/dev/null
  has_section
}
helper_state() {  # what the installed app makes of the helper: missing, outdated, working…
  tarrow --menu >/dev/null 2>&1
  sed -n 2p "$TARROW_HOME/state"
}
nothing_left() {
  no_section && [ "$(cat /etc/hosts)" = "$hosts_before" ] &&
    [ ! -e "$installed" ] && [ ! -e "$unit_file" ] &&
    [ -z "$(find /etc/systemd/system -name "$unit")" ]
}

# --- 1. An older version with a helper set up, then the upgrade ---
systemd_runs
old="$work/old"
dpkg-deb -R "$deb" "$old"
printf 'an older build' >> "$old$shipped"  # a helper that differs, and still runs
sed -i 's/^Version: .*/Version: 0.9.0/' "$old/DEBIAN/control"
(cd "$old" && find usr -type f -exec md5sum {} + > DEBIAN/md5sums)
dpkg-deb --root-owner-group -b "$old" "$work/tarrow_0.9.0.deb" >/dev/null
dpkg_run -i "$work/tarrow_0.9.0.deb"
check "older version installs" [ "$status" = 0 ]
check "older version says nothing of a helper it does not have" not grep -q "^tarrow:" <<<"$out"
install_helper_as_app
check "helper set up by the app's own script" cmp -s "$installed" "$shipped"
check "its unit in place" [ -f "$unit_file" ]
check "blocking: section in /etc/hosts" block
cp "$unit_file" "$work/unit.before"

start=$(date +%s%N)
dpkg_run -i "$deb"
echo "upgrade took $(( ($(date +%s%N) - start) / 1000000 )) ms"
check "upgrade succeeds" [ "$status" = 0 ]
check "upgrade: installed helper replaced" said "installed helper replaced by the one of this version"
check "upgrade: helper now the package's" cmp -s "$installed" "$shipped"
check "upgrade: installed helper root-owned, mode 755" [ "$(stat -c '%a %U:%G' "$installed")" = "755 root:root" ]
check "upgrade: unit unchanged" cmp -s "$unit_file" "$work/unit.before"
check "upgrade: service restarted" [ "$(systemctl_calls)" = "--quiet is-enabled $unit
restart $unit" ]
check "upgrade: said so" said "helper service restarted"
check "upgrade: blocking goes on" has_section
check "upgrade: no copy left beside the helper" [ -z "$(find /usr/local/libexec -name '.tarrow-helper.*')" ]
state=$(helper_state)
check "the new app finds its helper current, no password needed ($state)" \
  [ "$state" = "helper: working" ]

dpkg_run -i "$deb"
check "the same version again: helper current, not restarted" said "the installed helper is current"
check "the same version again: systemctl not called" [ -z "$(systemctl_calls)" ]

# --- 2. The installed layout ---
# Every file is root's; the programs are 755, everything else (also the extension beside
# the helper) 644.
files=0
while read -r file; do
  [ -f "$file" ] || continue
  files=$((files + 1))
  case $file in
    /usr/libexec/*/*/*) mode=644 ;;
    /usr/bin/* | /usr/libexec/*) mode=755 ;;
    *) mode=644 ;;
  esac
  [ "$(stat -c '%a %U:%G' "$file")" = "$mode root:root" ] ||
    check "$file root-owned, mode $mode" false
done < <(dpkg -L tarrow)
check "the modes of all $files installed files were looked at" [ "$files" -ge 15 ]
check "the helper is shipped" [ -x "$shipped" ]
check "tarrow is /usr/bin/tarrow" [ "$(command -v tarrow)" = /usr/bin/tarrow ]
check "tarrow --version" [ "$(tarrow --version)" = "Tarrow $(dpkg-deb -f "$deb" Version)" ]
status=0
tarrow --selftest >"$work/selftest.out" 2>&1 || status=$?
check "--selftest passes from the installed layout" [ "$status" = 0 ]
check "--selftest: the helper found under /usr/libexec and its digest matching" \
  grep -qxF "ok    helper: $shipped is the one this build ships" "$work/selftest.out"

# The fonts come from /usr/share/tarrow: the source tree's copy is hidden here, and the
# block page server hands out the installed bytes.
mkdir "$work/empty"
mount --bind "$work/empty" "$source_dir/resources"
background tarrow --page-test >"$work/page.out" 2>/dev/null
page=$!
wait_for 5 test -s "$work/page.out" || true
port=$(sed -n 's|^http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/page.out")
curl -s -o "$work/font.ttf" "http://127.0.0.1:$port/font/apfel-grotezk-700.ttf" || true
stop "$page"
umount "$source_dir/resources"
check "the installed app serves its installed brand font" \
  cmp -s "$work/font.ttf" /usr/share/tarrow/apfel-grotezk-latin-700-normal.ttf

# --- 3. Removal while blocking, and again ---
printf 'old log\n' > /var/log/Tarrow-helper.log
mkdir -p /var/lib/Tarrow && printf 'x.example\n' > /var/lib/Tarrow/hits
mkdir -p /etc/systemd/system/multi-user.target.wants
ln -sf "$unit_file" /etc/systemd/system/multi-user.target.wants/$unit
dpkg_run -r tarrow
echo "$out" | grep '^tarrow:' || true
check "removal succeeds" [ "$status" = 0 ]
check "removal: service stopped and disabled" said "helper service stopped and disabled"
check "removal: systemctl calls" [ "$(systemctl_calls)" = "disable --now $unit
daemon-reload" ]
check "removal: section gone, /etc/hosts as before, no helper, no unit" nothing_left
check "removal: the program is gone" [ ! -e /usr/bin/tarrow -a ! -e /usr/libexec/tarrow ]
check "removal: the log stays until purge" [ -f /var/log/Tarrow-helper.log ]
dpkg_run -P tarrow
check "purge succeeds" [ "$status" = 0 ]
check "purge: said so" said "helper log and hits removed"
check "purge: helper log and hits gone" [ ! -e /var/log/Tarrow-helper.log -a ! -e /var/lib/Tarrow ]

# --- 4. Removal in bad states: each ends with status 0, a clear line, and nothing left ---
unit_missing() { rm -f "$unit_file"; }
section_cleared() { "$installed" --clear --no-flush 2>/dev/null; }
helper_gone() { rm -f "$installed"; }
nothing_set_up() { "$tool" remove "$work/bin/pkexec" "" >/dev/null; }
removal_retried() { /var/lib/dpkg/info/tarrow.prerm remove >/dev/null 2>&1; } # interrupted before
cases=(
  "unit_missing|no helper service to stop|blocked sites removed from /etc/hosts"
  "section_cleared|helper service stopped and disabled|/etc/hosts has no Tarrow section"
  "helper_gone|the installed helper is gone; clearing with the package's own|blocked sites removed from /etc/hosts"
  "systemd_stopped|systemd is not running, so the helper service was not running either|blocked sites removed from /etc/hosts"
  "nothing_set_up|no helper service to stop|no helper installed"
  "removal_retried|no helper installed|/etc/hosts has no Tarrow section"
)
for row in "${cases[@]}"; do
  IFS='|' read -r breakage first second <<< "$row"
  systemd_runs
  dpkg -i "$deb" >/dev/null 2>&1
  install_helper_as_app
  block
  "$breakage"
  dpkg_run -r tarrow
  check "$breakage: removal succeeds" [ "$status" = 0 ]
  check "$breakage: says \"$first\"" said "$first"
  check "$breakage: says \"$second\"" said "$second"
  check "$breakage: nothing left" nothing_left
  if [ "$breakage" = systemd_stopped ]; then
    check "systemd not running: systemctl not called" [ -z "$(systemctl_calls)" ]
  fi
done

finish
