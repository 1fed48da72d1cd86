#!/usr/bin/env bash
# The layers hold: no #include reaches up or sideways, and the helper program links no
# Qt and no xcb. Usage: layers_test.sh <source folder> [<tarrow-helper>]
#
#   common/          includes nothing of platform/, helper/ or app/
#   platform/        includes nothing of helper/ or app/
#   helper/          includes nothing of app/
#   app/model/       includes nothing else of app/
#   app/controller/  includes nothing of app/browser/ or app/ui/
#   app/browser/     includes nothing of app/controller/ or app/ui/
#   app/*.h          the wiring next to main.cpp; included from app/ itself only
source "$(dirname "$0")/support/lib.sh"
source_folder="${1:?usage: layers_test.sh <source folder> [<tarrow-helper>]}"
helper="${2:-}"

# Why `file` may not include `included`; nothing when it may.
why_not() {
  local file="$1" included="$2"
  case "$file" in
    common/*)
      if [[ $included =~ ^(platform|helper|app)/ ]]; then
        echo "common/ lies below platform/, helper/ and app/"
      fi ;;
    platform/*)
      if [[ $included =~ ^(helper|app)/ ]]; then echo "platform/ lies below helper/ and app/"; fi ;;
    helper/*)
      if [[ $included =~ ^app/ ]]; then echo "helper/ includes nothing of app/"; fi ;;
    app/model/*)
      if [[ $included =~ ^app/ && ! $included =~ ^app/model/ ]]; then
        echo "app/model/ includes nothing else of app/"
      fi ;;
    app/controller/*)
      if [[ $included =~ ^app/(browser|ui)/ ]]; then
        echo "app/controller/ includes nothing of app/browser/ or app/ui/"
      fi ;;
    app/browser/*)
      if [[ $included =~ ^app/(controller|ui)/ ]]; then
        echo "app/browser/ includes nothing of app/controller/ or app/ui/"
      fi ;;
  esac
  if [[ $included =~ ^app/[^/]+$ && ! $file =~ ^app/[^/]+$ ]]; then
    echo "only app/ itself includes the wiring next to main.cpp"
  fi
}

# Prints every include in the tree under $1 that crosses a layer; returns 1 when any does.
check_tree() {
  local crossed=0 file line included reason
  while IFS= read -r file; do
    while IFS= read -r line; do
      included=$(sed -E 's/^[^"<]*["<]([^">]*)[">].*/\1/' <<<"${line#*:}")
      reason=$(why_not "$file" "$included")
      if [ -n "$reason" ]; then
        echo "$file:${line%%:*}: includes $included, but $reason"
        crossed=1
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$1/$file" || true)
  done < <(cd "$1" && find common platform helper app -type f \( -name '*.cpp' -o -name '*.h' \) \
             2>/dev/null | sort)
  return "$crossed"
}

# The check itself must see a planted crossing, or a passing run would mean nothing.
work_folder layers
plant=$work
mkdir -p "$plant/app/browser" "$plant/common"
printf '#include "app/browser/hits.h"\n#include "app/controller/tarrow.h"\n' \
  > "$plant/app/browser/planted.cpp"
printf '#include <platform/paths.h>\n' > "$plant/common/planted.h"
planted_report() { ! check_tree "$plant" > "$plant/report" && [ "$(wc -l < "$plant/report")" = 2 ]; }
check "a planted upward include is found" planted_report

check "no include crosses a layer" check_tree "$source_folder"

if [ -n "$helper" ]; then
  no_qt_or_xcb() {
    local linked
    linked=$(readelf -d "$helper" | grep NEEDED) || return 1
    if grep -iE 'qt|xcb' <<<"$linked"; then return 1; fi
  }
  check "tarrow-helper links no Qt and no xcb library" no_qt_or_xcb
fi

finish
