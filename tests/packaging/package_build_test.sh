# The Debian package built by scripts/package.sh, checked as a distribution would:
# lintian finds no error, the desktop entry and the AppStream metadata pass their
# validators, every file the menu, the bus and polkit name is in it, and it stays small.
source "$(dirname "$0")/../support/lib.sh"
work_folder package
show_on_failure "$work/build.log" "$work/lintian.txt"
bash "$source_dir/scripts/package.sh" >"$work/build.log" 2>&1 || fail "scripts/package.sh"
mapfile -t debs < <(ls "$source_dir"/build-package/tarrow_*.deb)
deb=${debs[0]}
check "one package, named tarrow_<version>_<arch>.deb" [ "${#debs[@]}/${deb##*/}" = \
  "1/tarrow_$(dpkg-deb -f "$deb" Version)_$(dpkg-deb -f "$deb" Architecture).deb" ]
check "dependencies come from the binaries" contains "$(dpkg-deb -f "$deb" Depends)" libqt6widgets6
check "lintian reports no errors" eval 'lintian --fail-on error --pedantic "$deb" >"$work/lintian.txt" 2>&1'
root="$work/root" id=de.brightloom.tarrow
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/$id.desktop"
check "desktop-file-validate passes" desktop-file-validate "$desktop"
check "appstreamcli validate passes" appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
entry() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$desktop"; }
check "the entry runs the packaged program, with its icon and window class" eval \
  '[ -x "$root/usr/bin/$(entry Exec | cut -d" " -f1)" ] && [ "$(entry Icon)/$(entry StartupWMClass)" = "$id/Tarrow" ]'
service="$root/usr/share/dbus-1/services/$id.service"
check "the bus starts the packaged program as the app id" [ "$(sed -n 's/^\(Name\|Exec\)=//p' "$service" | xargs)" = "$id /usr/bin/tarrow" ]
sizes=$(for size in 16 22 24 32 48 64 128 256; do
  identify -format '%wx%h ' "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"; done)
check "icons of every size, and scalable" eval '[ "$sizes" = "16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256 " ] &&
  [ -s "$root/usr/share/icons/hicolor/scalable/apps/$id.svg" ]'
policy="$root/usr/share/polkit-1/actions/$id.policy"
shell=$(sed -n 's:.*"org.freedesktop.policykit.exec.path">\(.*\)</annotate>.*:\1:p' "$policy" | sort -u)
check "one polkit action per root step, through the packaged admin shell" eval '[ -x "$root$shell" ] &&
  [ "$(sed -n "s:.*\"org.freedesktop.policykit.exec.argv1\">\(.*\)</annotate>.*:\1:p" "$policy" | xargs)" = "set-up remove" ]'
check "the copyright covers the font" grep -q "^License: OFL-1.1" "$root/usr/share/doc/tarrow/copyright"
check "under 3 MB, 10 MB installed" [ "$(stat -c %s "$deb")" -lt 3000000 -a "$(dpkg-deb -f "$deb" Installed-Size)" -lt 10000 ]
finish
