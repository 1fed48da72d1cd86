#!/usr/bin/env bash
# "--render" as a user meets it: every picture drawn, none blank, light and dark
# differing, the configuration untouched; a folder that cannot be made is refused with
# one line that says why. Needs no root and no display.
source "$(dirname "$0")/../support/lib.sh"
work_folder e2e-render
app_home
# --render needs no platform named: it draws off screen by itself.
unset TARROW_RENDER_SIZE QT_QPA_PLATFORM QT_SCALE_FACTOR
export TZ=Europe/Berlin TARROW_NOW=2026-10-23T07:00:00Z LANG=C.UTF-8 LC_ALL=C.UTF-8
tarrow=$bin/tarrow
# Sites and one schedule on weekday mornings, so that every tab has something to show.
cat > "$TARROW_HOME/config.json" <<'JSON'
{"sites": [
  {"id": "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "domain": "youtube.com", "enabled": true},
  {"id": "1F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "domain": "reddit.com", "enabled": true},
  {"id": "2F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "domain": "news.example.org", "enabled": false}],
 "schedules": [{"id": "3F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "enabled": true,
   "days": [2, 3, 4, 5, 6], "start": 540, "end": 720}],
 "manualOn": false, "notice": true, "suggest": true}
JSON

# Attempts as scripts/pictures.sh writes them: the card says which try of the day it is.
cat > "$TARROW_HOME/attempts.json" <<'JSON'
{"days": {"2026-10-21": {"youtube.com": 7}, "2026-10-23": {"youtube.com": 3}}}
JSON

size_of() { identify -format '%wx%h' "$1"; }
colours_of() { identify -format '%k' "$1"; }
brightness_of() { identify -format '%[fx:int(mean*1000)]' "$1"; }
# render <name> <folder> [arguments...]: output in $work/<name>.out and .err, status in $status.
render() {
  local name=$1 out=$2
  shift 2
  status=0
  "$tarrow" --render "$out" "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
}

views=(sites schedules general welcome)
expected_files() {
  for view in "${views[@]}"; do
    echo "settings-$view-dark.png"; echo "settings-$view-light.png"
  done
  echo card.png; echo window-general.png; echo window-schedules.png; echo window-sites.png
}

out="$work/pictures"
render pictures "$out" --working --demo-suggestions
check "renders with status 0" [ "$status" = 0 ]
check "exactly the expected files" [ "$(ls "$out" | sort)" = "$(expected_files | sort)" ]
for file in $(expected_files); do
  [ "$(colours_of "$out/$file")" -gt 16 ] || check "$file is no blank picture" false
done
# The card grows by the try line that attempts.json gives it.
check "the card has the try line" [ "$(size_of "$out/card.png")" = 428x258 ]
for view in "${views[@]}"; do
  light="$out/settings-$view-light.png" dark="$out/settings-$view-dark.png"
  check "$view: light is brighter than dark" \
    [ "$(brightness_of "$light")" -gt "$(( $(brightness_of "$dark") + 300 ))" ]
done
check "one line per tab of the window" [ "$(wc -l <"$work/pictures.out")" = 3 ]
check "the configuration is untouched" grep -q '"news.example.org"' "$TARROW_HOME/config.json"

echo "a file" > "$work/file"
render unwritable "$work/file/below"
check "an unmakeable folder: status 1" [ "$status" = 1 ]
check "an unmakeable folder: says why" \
  grep -q "  cannot create $work/file/below: Not a directory\$" "$work/unwritable.err"
finish
