#!/usr/bin/env bash
# "--render" as a user meets it: the exact pictures with their pixel sizes, the window
# lines, light and dark differing, no blank picture; bad sizes, a bad instant, folders
# that cannot be written; "--render" as the last argument; the pictures in docs/ still
# what "--render" makes, the card with the day's try line from attempts.json. Needs no
# root and no display.
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
# render <name> <folder> [arguments...]: stdout to $work/<name>.out, stderr to
# $work/<name>.err, the exit status to $status.
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
# The pixel size every file has at the default size.
expected_size() {
  case $1 in
    settings-*) echo "${2:-580x440}" ;;
    card.png) echo 428x258 ;;  # 428x238 without the try line
    window-*) echo 640x600 ;;
  esac
}

# The whole set, with the demonstration.
out="$work/pictures"
render pictures "$out" --working --demo-suggestions
check "renders with status 0" [ "$status" = 0 ]
check "exactly the expected files" [ "$(ls "$out" | sort)" = "$(expected_files | sort)" ]
for file in $(expected_files); do
  check "$file is $(expected_size "$file")" [ "$(size_of "$out/$file")" = "$(expected_size "$file")" ]
  check "$file is no blank picture" [ "$(colours_of "$out/$file")" -gt 16 ]
done
for view in "${views[@]}"; do
  light="$out/settings-$view-light.png" dark="$out/settings-$view-dark.png"
  check "$view: light and dark differ" bash -c '! cmp -s "$1" "$2"' _ "$light" "$dark"
  check "$view: light is brighter than dark" \
    [ "$(brightness_of "$light")" -gt "$(( $(brightness_of "$dark") + 300 ))" ]
done
expected_lines="window sites: 644×604, content 640×600, title “Sites”
window schedules: 644×604, content 640×600, title “Schedules”
window general: 644×604, content 640×600, title “General”"
check "one line per tab of the window" [ "$(cat "$work/pictures.out")" = "$expected_lines" ]
check "nothing about the platform on stderr" \
  lacks "$(cat "$work/pictures.err")" "plugin does not support"
check "the configuration is untouched" grep -q '"news.example.org"' "$TARROW_HOME/config.json"

# TARROW_RENDER_SIZE: the default unless two whole numbers above zero, each side kept
# within 240 and 2048.
while read -r given size; do
  out="$work/size-${given//[^0-9a-z-]/_}"
  TARROW_RENDER_SIZE="$given" render size "$out"
  check "size '$given': status 0" [ "$status" = 0 ]
  check "size '$given': all files" [ "$(ls "$out" | sort)" = "$(expected_files | sort)" ]
  for file in $(expected_files); do
    [ "$(size_of "$out/$file")" = "$(expected_size "$file" "$size")" ] || {
      check "size '$given': $file is $(expected_size "$file" "$size")" false; }
  done
done <<'SIZES'
0x0 580x440
1x1 240x240
-5x10 580x440
99999x99999 2048x2048
580 580x440
580x440x3 580x440
abc 580x440
800x300 800x300
SIZES

# Memory: no size makes the process take 200 MB (not measured under the address
# sanitizer, whose own bookkeeping grows with every allocation).
# (grep reads all of ldd: with -q it may end first, and pipefail would count the cut pipe.)
if ! ldd "$tarrow" | grep libasan >/dev/null; then
  TARROW_RENDER_SIZE=99999x99999 /usr/bin/time -f %M -o "$work/peak" \
    "$tarrow" --render "$work/largest" > /dev/null 2>&1
  check "the largest size stays below 200 MB ($(cat "$work/peak") kB)" \
    [ "$(cat "$work/peak")" -lt 204800 ]
fi

# A TARROW_NOW that is no instant: the status line is for now, and all is drawn.
out="$work/bad-now"
TARROW_NOW="next friday" render bad-now "$out"
check "bad TARROW_NOW: status 0" [ "$status" = 0 ]
check "bad TARROW_NOW: all files" [ "$(ls "$out" | sort)" = "$(expected_files | sort)" ]

# Folders that cannot be made or written: nothing written, one line that says why.
echo "a file" > "$work/file"
while read -r folder why; do
  render unwritable "$folder"
  check "$folder: status 1" [ "$status" = 1 ]
  check "$folder: says why" grep -q "  cannot create $folder: $why\$" "$work/unwritable.err"
  check "$folder: no window lines" [ ! -s "$work/unwritable.out" ]
done <<FOLDERS
$work/file/below Not a directory
/proc/tarrow-render No such file or directory
FOLDERS
if [ "$(id -u)" != 0 ]; then
  mkdir -m 0555 "$work/closed"
  render closed "$work/closed"
  check "a closed folder: status 1" [ "$status" = 1 ]
  check "a closed folder: says why" \
    grep -q "  cannot write $work/closed: Permission denied\$" "$work/closed.err"
  check "a closed folder: nothing written" [ -z "$(ls "$work/closed")" ]
fi
# One picture that cannot be written (its name is taken by a folder): the others are
# written, that one is not, and nothing is said about it.
out="$work/one-taken"
mkdir -p "$out/card.png"
render one-taken "$out"
check "one picture not written: status 1" [ "$status" = 1 ]
check "one picture not written: the others are" \
  [ "$(ls "$out" | grep -c png)" = "$(expected_files | wc -l)" ]
check "one picture not written: card.png is still the folder" [ -d "$out/card.png" ]
check "one picture not written: no message" lacks "$(cat "$work/one-taken.err")" card

# "--render" as the last argument names no folder: start-up goes on to the later modes.
mkdir -p "$work/cwd"
status=0
(cd "$work/cwd" && "$tarrow" --suggest --render >"$work/last.out" 2>&1) || status=$?
check "--render last: the next mode runs" [ "$status" = 0 ]
check "--render last: it is --suggest" grep -q " sites from " "$work/last.out"
check "--render last: nothing rendered" [ -z "$(ls "$work/cwd")" ]

# The pictures in docs/ are what --render makes: the same names have the same sizes.
out="$work/pictures"
for doc in "$source_dir"/docs/*.png; do
  name=$(basename "$doc")
  [ -e "$out/$name" ] || continue
  check "docs/$name has the size --render gives it" [ "$(size_of "$doc")" = "$(size_of "$out/$name")" ]
done

# Every picture the README shows is there.
for picture in $(grep -o 'docs/[a-z-]*\.png' "$source_dir/README.md" | sort -u); do
  check "the README's $picture exists" [ -s "$source_dir/$picture" ]
done

finish
