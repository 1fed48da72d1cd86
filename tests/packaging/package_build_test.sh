#!/usr/bin/env bash
# Builds the Debian package with scripts/package.sh and checks it as a distribution
# would: lintian finds no error, the desktop entry and the AppStream metadata inside it
# pass their validators, every file the menu and polkit name is in it, and it stays small.
source "$(dirname "$0")/../support/lib.sh"
work_folder package

start=$(date +%s)
show_on_failure "$work/build.log"
bash "$source_dir/scripts/package.sh" >"$work/build.log" 2>&1 || fail "scripts/package.sh"
echo "package built in $(( $(date +%s) - start )) s"
mapfile -t debs < <(ls "$source_dir"/build-package/tarrow_*.deb)
check "one package: ${debs[*]}" [ "${#debs[@]}" = 1 ]
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
check "named tarrow_<version>_<arch>.deb" [ "${deb##*/}" = "tarrow_${version}_${arch}.deb" ]
check "dependencies come from the binaries" contains "$(dpkg-deb -f "$deb" Depends)" libqt6widgets6

# Lintian: every tag is shown; errors fail the test.
status=0
lintian --fail-on error --display-info --pedantic "$deb" >"$work/lintian.txt" 2>&1 || status=$?
grep -E '^[EWIPX]:' "$work/lintian.txt" || true
check "lintian reports no errors" [ "$status" = 0 ]

root="$work/root"
dpkg-deb -x "$deb" "$root"
app_id=de.brightloom.tarrow
desktop="$root/usr/share/applications/$app_id.desktop"
check "desktop-file-validate passes" desktop-file-validate "$desktop"
check "appstreamcli validate --no-net passes" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
entry() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$desktop"; }
check "Exec= runs the packaged program" [ -x "$root/usr/bin/$(entry Exec | cut -d' ' -f1)" ]
check "Icon= is the app id" [ "$(entry Icon)" = "$app_id" ]
check "Categories=Utility;" [ "$(entry Categories)" = "Utility;" ]
check "StartupWMClass= is the window class" [ "$(entry StartupWMClass)" = Tarrow ]
service="$root/usr/share/dbus-1/services/$app_id.service"
check "the bus starts the packaged program as the app id" \
  [ "$(sed -n 's/^Name=//p' "$service") $(sed -n 's/^Exec=//p' "$service")" = "$app_id /usr/bin/tarrow" ]
check "scalable icon" [ -s "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ]
for size in 16 22 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  check "${size} px icon is ${size}x${size}" \
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ]
done
policy="$root/usr/share/polkit-1/actions/$app_id.policy"
check "polkit action is well-formed" xmllint --noout "$policy"
shell=$(sed -n 's:.*"org.freedesktop.policykit.exec.path">\(.*\)</annotate>.*:\1:p' "$policy" | sort -u)
check "polkit actions name the packaged admin shell" [ -x "$root$shell" ]
words=$(sed -n 's:.*"org.freedesktop.policykit.exec.argv1">\(.*\)</annotate>.*:\1:p' "$policy")
check "one polkit action per root step" [ "$words" = $'set-up\nremove' ]
copyright="$root/usr/share/doc/tarrow/copyright"
check "copyright is machine-readable" grep -q copyright-format/1.0 <<<"$(head -1 "$copyright")"
check "copyright covers the font" grep -q "^License: OFL-1.1" "$copyright"

size=$(stat -c %s "$deb")
installed=$(dpkg-deb -f "$deb" Installed-Size)
echo "package size $size bytes, installed size $installed KiB"
check "package under 3 MB" [ "$size" -lt 3000000 ]
check "installed under 10 MB" [ "$installed" -lt 10000 ]

finish
