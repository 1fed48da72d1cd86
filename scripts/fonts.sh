#!/usr/bin/env bash
# Fetches the brand typeface (Apfel Grotezk, SIL Open Font License 1.1) and places its
# latin 400 and 700 faces as TrueType files in resources/. Best effort: without npm,
# woff2_decompress or the registry it leaves things as they are and says so quietly;
# the app then falls back to the bold system font.
set -uo pipefail
cd "$(dirname "$0")/.."
dest=resources
want=(apfel-grotezk-latin-400-normal apfel-grotezk-latin-700-normal)

have_all=1
for f in "${want[@]}"; do [ -s "$dest/$f.ttf" ] || have_all=0; done
if [ "$have_all" = 1 ] && [ "${1:-}" != --force ]; then exit 0; fi

if ! command -v npm >/dev/null || ! command -v woff2_decompress >/dev/null; then
  echo "fonts: npm or woff2_decompress missing, brand font skipped" >&2
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && timeout 120 npm pack --silent @fontsource/apfel-grotezk >/dev/null 2>&1); then
  echo "fonts: registry not reachable, brand font skipped" >&2
  exit 0
fi
tar -xzf "$work"/fontsource-apfel-grotezk-*.tgz -C "$work"
license=$(sed -n 's/.*"license": *"\([^"]*\)".*/\1/p' "$work/package/package.json")
if [ "$license" != OFL-1.1 ]; then
  echo "fonts: unexpected licence '$license', brand font skipped" >&2
  exit 0
fi
mkdir -p "$dest"
for f in "${want[@]}"; do
  src="$work/package/files/$f.woff2"
  if [ ! -f "$src" ] || ! woff2_decompress "$src" >/dev/null 2>&1; then
    echo "fonts: $f not converted, brand font skipped" >&2
    exit 0
  fi
  cp "$work/package/files/$f.ttf" "$dest/$f.ttf"
done
cp "$work/package/LICENSE" "$dest/apfel-grotezk-LICENSE.txt" 2>/dev/null || true
echo "fonts: placed ${want[*]} in $dest" >&2
