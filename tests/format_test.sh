#!/usr/bin/env bash
# Every C++ file of the project in the root .clang-format style.
# Usage: format_test.sh <source folder>
set -euo pipefail
cd "${1:?usage: format_test.sh <source folder>}"
if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing (bash scripts/deps.sh installs it)" >&2
  exit 1
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked and new files alike; one deleted but not yet committed is passed over.
  mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' |
                         while IFS= read -r f; do [ -f "$f" ] && echo "$f"; done)
else
  mapfile -t files < <(find . -path ./build -prune -o -path './build-*' -prune -o \
                         -type f \( -name '*.cpp' -o -name '*.h' \) -print)
fi
[ "${#files[@]}" -gt 0 ]
clang-format --dry-run -Werror "${files[@]}"
echo "ok    ${#files[@]} files formatted"
