#!/usr/bin/env bash
# Builds the Debian package with scripts/package.sh and checks it as a distribution
# would: lintian finds no error, the desktop entry and the AppStream metadata inside it
# pass their validators, every file the menu and polkit name is in it, and it stays small.
set -euo pipefail
source="${TARROW_SOURCE:?TARROW_SOURCE names the source tree}"
work=$(mktemp -d /tmp/tarrow-package.XXXXXX)
trap 'rm -rf "$work"' EXIT

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}

start=$(date +%s)
if ! bash "$source/scripts/package.sh" > "$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "FAIL  scripts/package.sh"
  exit 1
fi
echo "package built in $(( $(date +%s) - start )) s"
mapfile -t debs < <(ls "$source"/build-package/tarrow_*.deb)
check "one package: ${debs[*]}" [ "${#debs[@]}" = 1 ]
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
check "named tarrow_<version>_<arch>.deb" [ "${deb##*/}" = "tarrow_${version}_${arch}.deb" ]
check "dependencies come from the binaries" bash -c 'dpkg-deb -f "$1" Depends | grep -q libqt6widgets6' _ "$deb"

# Lintian: every tag is shown; errors fail the test.
set +e
lintian --fail-on error --display-info --pedantic "$deb" > "$work/lintian.txt" 2>&1
lintian_status=$?
set -e
grep -E '^[EWIPX]:' "$work/lintian.txt" || true
check "lintian reports no errors" [ "$lintian_status" = 0 ]

root="$work/root"
dpkg-deb -x "$deb" "$root"
app_id=de.brightloom.tarrow
desktop="$root/usr/share/applications/$app_id.desktop"
check "desktop-file-validate passes" desktop-file-validate "$desktop"
check "appstreamcli validate --no-net passes" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "Exec= runs the packaged program" [ -x "$root/usr/bin/$(entry Exec | cut -d' ' -f1)" ]
check "Icon= is the app id" [ "$(entry Icon)" = "$app_id" ]
check "Categories=Utility;" [ "$(entry Categories)" = "Utility;" ]
check "StartupWMClass= is the window class" [ "$(entry StartupWMClass)" = Tarrow ]
check "scalable icon" [ -s "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ]
for size in 16 22 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  check "${size} px icon is ${size}x${size}" \
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ]
done
policy="$root/usr/share/polkit-1/actions/$app_id.policy"
check "polkit action is well-formed" xmllint --noout "$policy"
shell=$(sed -n 's:.*"org.freedesktop.policykit.exec.path">\(.*\)</annotate>.*:\1:p' "$policy")
check "polkit action names the packaged admin shell" [ -x "$root$shell" ]
check "copyright is machine-readable and covers the font" bash -c \
  'head -1 "$1" | grep -q copyright-format/1.0 && grep -q "^License: OFL-1.1" "$1"' _ \
  "$root/usr/share/doc/tarrow/copyright"

size=$(stat -c %s "$deb")
installed=$(dpkg-deb -f "$deb" Installed-Size)
echo "package size $size bytes, installed size $installed KiB"
check "package under 3 MB" [ "$size" -lt 3000000 ]
check "installed under 10 MB" [ "$installed" -lt 10000 ]

[ "$fails" = 0 ] && echo "all passed" || { echo "$fails failed"; exit 1; }
