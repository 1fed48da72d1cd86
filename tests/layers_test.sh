# The layers hold: no #include reaches up or sideways, and the helper links no Qt and no
# xcb. Usage: layers_test.sh <source folder> [<tarrow-helper>]
source "$(dirname "$0")/support/lib.sh"
source_folder="${1:?usage: layers_test.sh <source folder> [<tarrow-helper>]}"

# The includes a file's folder may not make, as "folder pattern|forbidden pattern"; the
# wiring next to main.cpp (app/*.h) is included from app/ itself only.
rules=("common/|(platform|helper|app)/" "platform/|(helper|app)/" "helper/|app/"
  "app/model/|app/(controller|browser|ui|[^/]+$)" "app/controller/|app/(browser|ui)/"
  "app/browser/|app/(controller|ui)/" "(common|platform|helper|app/[^/]+)/|app/[^/]+$")
# check_tree <folder>: prints every include that crosses a layer; 1 when any does.
check_tree() {
  local crossed=0 file line included rule; while IFS=: read -r file line included; do
    included=$(sed -E 's/^[^"<]*["<]([^">]*)[">].*/\1/' <<<"$included")
    for rule in "${rules[@]}"; do
      if [[ $file =~ ^${rule%%|*} && $included =~ ^${rule#*|} ]]; then
        echo "$file:$line: includes $included across the layers"
        crossed=1
      fi
    done
  done < <(cd "$1" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' \
    common platform helper app --include='*.cpp' --include='*.h' 2>/dev/null | sort)
  return "$crossed"
}

work_folder layers # planted crossings, or a passing run would mean nothing
mkdir -p "$work/app/browser" "$work/common"
printf '#include "app/browser/hits.h"\n#include "app/controller/tarrow.h"\n' >"$work/app/browser/planted.cpp"
printf '#include <platform/paths.h>\n' >"$work/common/planted.h"
check "planted crossings are found" eval '! check_tree "$work" >"$work/report" && [ "$(wc -l <"$work/report")" = 2 ]'
check "no include crosses a layer" check_tree "$source_folder"
if [ -n "${2:-}" ]; then
  check "tarrow-helper links no Qt and no xcb library" not grep -qiE 'qt|xcb' <(readelf -d "$2" | grep NEEDED)
fi
finish
