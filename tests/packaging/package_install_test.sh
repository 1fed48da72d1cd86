# The Debian package installed, upgraded and removed with dpkg inside netns.sh --overlay,
# systemctl and pkexec stood in; "systemd runs" while /run/systemd/system exists. The
# helper is set up as the app does it, through the packaged admin shell.
# Usage (as root): netns.sh --overlay bash package_install_test.sh <install_script_tool>
source "$(dirname "$0")/../support/lib.sh"
tool="${1:?usage: package_install_test.sh <install_script_tool>}"
in_namespace --overlay "$@"
deb=$(ls "$source_dir"/build-package/tarrow_*.deb)
export PATH="/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
stand_in_admin_tools
app_home
rm -f /var/lib/man-db/auto-update # rebuilding the manual index takes seconds per run
unit=de.brightloom.tarrow.helper.service shipped=/usr/libexec/tarrow/tarrow-helper
hosts_before=$(cat /etc/hosts)
systemd_runs() { mkdir -p /run/systemd/system; }
systemd_stopped() { rm -rf /run/systemd/system; }
dpkg_run() { # output in $out, exit status in $status
  rm -f "$work/systemctl.log"
  status=0
  out=$(dpkg "$@" 2>&1) || status=$?
}
said() { grep -qxF "tarrow: $1" <<<"$out"; }
set_up() { # what "Set Up Blocking…" runs, with the app's digest
  "$tool" install "$work/bin/pkexec" "" "$shipped" "$(sha256sum <"$shipped" | cut -d' ' -f1)" "$request" 0 >/dev/null
}
block() { # a section, written by the installed helper as its daemon would
  write_request example.com
  "$installed_helper" --apply "$request" --uid 0 --no-flush 2>/dev/null
  has_section
}
nothing_left() {
  [ "$(cat /etc/hosts)" = "$hosts_before" ] && [ ! -e "$installed_helper" ] &&
    [ -z "$(find /etc/systemd/system -name "$unit")" ]
}

# An older version with a helper set up, then the upgrade.
systemd_runs
old="$work/old"
dpkg-deb -R "$deb" "$old"; printf 'an older build' >>"$old$shipped"
sed -i 's/^Version: .*/Version: 0.9.0/' "$old/DEBIAN/control"
(cd "$old" && find usr -type f -exec md5sum {} + >DEBIAN/md5sums)
dpkg-deb --root-owner-group -b "$old" "$work/old.deb" >/dev/null
dpkg_run -i "$work/old.deb"
check "an older version installs, saying nothing of a helper" eval '[ "$status" = 0 ] && not grep -q "^tarrow:" <<<"$out"'
set_up
check "the app's script sets the helper up, blocking" eval 'cmp -s "$installed_helper" "$shipped" && block'
cp "$helper_unit" "$work/unit.before"
dpkg_run -i "$deb"
check "the upgrade succeeds" [ "$status" = 0 ]
check "upgrade: the installed helper replaced, root's, 755" eval 'said "installed helper replaced by the one of this version" &&
  cmp -s "$installed_helper" "$shipped" && [ "$(stat -c "%a %U:%G" "$installed_helper")" = "755 root:root" ]'
check "upgrade: the unit unchanged, the service restarted" eval 'cmp -s "$helper_unit" "$work/unit.before" &&
  [ "$(systemctl_calls | xargs)" = "--quiet is-enabled $unit restart $unit" ] && said "helper service restarted"'
check "upgrade: blocking goes on, no copy left beside the helper" \
  eval 'has_section && [ -z "$(find /usr/local/libexec -name ".tarrow-helper.*")" ]'
tarrow --menu >/dev/null 2>&1
check "the new app finds its helper working" [ "$(sed -n 2p "$state")" = "helper: working" ]
dpkg_run -i "$deb"
check "the same version again: current, systemctl not called" \
  eval 'said "the installed helper is current" && [ -z "$(systemctl_calls)" ]'

# Every installed file root's; the programs 755, the rest (also the extension) 644.
while read -r file; do
  mode=644 && [[ ! $file =~ ^/usr/(bin/|libexec/[^/]+(/[^/]+)?$) ]] || mode=755
  [ ! -f "$file" ] || [ "$(stat -c '%a %U:%G' "$file")" = "$mode root:root" ] || check "$file root's, mode $mode" false
done < <(dpkg -L tarrow)
check "tarrow --version" [ "$(tarrow --version)" = "Tarrow $(dpkg-deb -f "$deb" Version)" ]
check "--selftest passes, the helper found under /usr/libexec" eval 'tarrow --selftest >"$work/selftest" 2>&1 &&
  grep -qxF "ok    helper: $shipped is the one this build ships" "$work/selftest"'

# Removal while blocking, then purge.
printf 'old log\n' >/var/log/Tarrow-helper.log
mkdir -p /var/lib/Tarrow /etc/systemd/system/multi-user.target.wants && printf 'x.example\n' >/var/lib/Tarrow/hits
ln -sf "$helper_unit" /etc/systemd/system/multi-user.target.wants/$unit
dpkg_run -r tarrow
check "removal: the service stopped and disabled" eval '[ "$status" = 0 ] && said "helper service stopped and disabled" &&
  [ "$(systemctl_calls | xargs)" = "disable --now $unit daemon-reload" ]'
check "removal: nothing left but the log" eval 'nothing_left && [ ! -e /usr/bin/tarrow -a -f /var/log/Tarrow-helper.log ]'
dpkg_run -P tarrow
check "purge: the helper's log and hits gone" eval '[ "$status" = 0 ] && said "helper log and hits removed" &&
  [ ! -e /var/log/Tarrow-helper.log -a ! -e /var/lib/Tarrow ]'

# Removal in bad states (each a command that breaks one thing): status 0, clear lines, nothing left.
for row in 'rm -f "$helper_unit"|no helper service to stop|blocked sites removed from /etc/hosts' \
  '"$installed_helper" --clear --no-flush|helper service stopped and disabled|/etc/hosts has no Tarrow section' \
  "rm -f \"\$installed_helper\"|the installed helper is gone; clearing with the package's own|blocked sites removed from /etc/hosts" \
  'systemd_stopped|systemd is not running, so the helper service was not running either|blocked sites removed from /etc/hosts' \
  '"$tool" remove "$work/bin/pkexec" ""|no helper service to stop|no helper installed' \
  '/var/lib/dpkg/info/tarrow.prerm remove|no helper installed|/etc/hosts has no Tarrow section'; do
  IFS='|' read -r breakage first second <<<"$row"
  systemd_runs
  dpkg -i "$deb" >/dev/null 2>&1
  set_up
  block
  eval "$breakage" >/dev/null 2>&1
  dpkg_run -r tarrow
  check "$breakage: removal says so, leaves nothing" \
    eval '[ "$status" = 0 ] && said "$first" && said "$second" && nothing_left &&
    { [ "$breakage" != systemd_stopped ] || [ -z "$(systemctl_calls)" ]; }'
done
finish
