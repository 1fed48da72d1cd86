#!/usr/bin/env bash
# Makes the pictures of the README again, from the app itself: the settings window on
# each tab, the Sites tab in dark, and the card ("tarrow --render"), the tray mark
# ("tarrow --icons") and the tray menu ("tarrow --menu", written into the README between
# its "menu" markers). Everything comes from a scratch state folder with a few sites and
# a weekday-morning schedule, on Friday 23 October 2026 at 09:00 in Berlin, the helper
# shown as set up, a week of attempts and five made-up suggestions; nothing of the user's
# own is read.
#   bash scripts/pictures.sh [build/bin]    (builds build/ first when no folder is named)
set -euo pipefail
if [ $# -ge 1 ]; then
  bin=$(realpath "$1")
  cd "$(dirname "$0")/.."
else
  cd "$(dirname "$0")/.."
  cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --target tarrow >/dev/null
  bin=build/bin
fi
work=$(mktemp -d /tmp/tarrow-pictures.XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME="$work/user" TARROW_HOME="$work/home" XDG_CONFIG_HOME="$work/user/.config"
export XDG_RUNTIME_DIR="$work/run"
export TZ=Europe/Berlin TARROW_NOW=2026-10-23T07:00:00Z
unset TARROW_RENDER_SIZE XDG_DATA_HOME
mkdir -p "$HOME" "$TARROW_HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# British English: a 24-hour clock and weeks from Monday (the shell itself keeps its own
# locale, which may not have that one).
tarrow() {
  env -u LC_ALL -u LC_TIME -u LC_NUMERIC -u LC_MESSAGES LANG=en_GB.UTF-8 "$bin/tarrow" "$@"
}
cat > "$TARROW_HOME/config.json" <<'JSON'
{"sites": [
  {"id": "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "domain": "youtube.com", "enabled": true},
  {"id": "1F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "domain": "reddit.com", "enabled": true},
  {"id": "2F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "domain": "news.example.org", "enabled": false}],
 "schedules": [
  {"id": "3F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "enabled": true,
   "days": [2, 3, 4, 5, 6], "start": 540, "end": 720},
  {"id": "4F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0", "enabled": false,
   "days": [1, 7], "start": 1260, "end": 120}],
 "manualOn": false, "notice": true, "suggest": true}
JSON

# A week of attempts: YouTube tried 14 times, the card's visit its 3rd try today.
cat > "$TARROW_HOME/attempts.json" <<'JSON'
{"days": {"2026-10-19": {"reddit.com": 2, "youtube.com": 4},
          "2026-10-21": {"youtube.com": 7}, "2026-10-23": {"youtube.com": 3}}}
JSON

tarrow --render "$work/render" --working --demo-suggestions > /dev/null
QT_QPA_PLATFORM=offscreen tarrow --icons "$work/icons" > /dev/null
# The menu with blocking switched on by hand: its status line then does not depend on
# the time of day ("--menu" reads the clock, not TARROW_NOW).
mkdir "$work/menu-home"
sed 's/"manualOn": false/"manualOn": true/' "$TARROW_HOME/config.json" > "$work/menu-home/config.json"
TARROW_HOME="$work/menu-home" QT_QPA_PLATFORM=offscreen tarrow --menu > "$work/menu.txt" \
  2> /dev/null

mkdir -p docs
for name in window-sites window-schedules window-general settings-sites-dark card; do
  cp "$work/render/$name.png" docs/
done
for name in mark-unlocked-light mark-locked-light mark-unlocked-dark mark-locked-dark; do
  cp "$work/icons/$name.png" docs/
done

# The menu goes between the markers, as a text block.
awk -v menu="$work/menu.txt" '
  /<!-- menu -->/ {
    print; print "```text"
    while ((getline line < menu) > 0) print line
    print "```"; skip = 1; next
  }
  /<!-- \/menu -->/ { skip = 0 }
  !skip { print }
' README.md > "$work/README.md"
cp "$work/README.md" README.md
ls docs
