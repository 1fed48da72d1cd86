#!/usr/bin/env bash
# Every C++ file of the project in the root .clang-format style.
# Usage: format_test.sh <source folder>
set -euo pipefail
cd "${1:?usage: format_test.sh <source folder>}"
command -v clang-format >/dev/null || { echo "no clang-format (bash scripts/deps.sh installs it)" >&2; exit 1; }
# Tracked and new files alike, without one deleted but not yet committed.
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' 2>/dev/null |
  while IFS= read -r f; do [ -f "$f" ] && echo "$f"; done)
[ "${#files[@]}" -gt 0 ] || mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print)
clang-format --dry-run -Werror "${files[@]}"
echo "ok    ${#files[@]} files formatted"
