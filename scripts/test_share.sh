#!/usr/bin/env bash
# Prints one line: the tests' non-blank, non-comment lines against the product's C++
# (outside tests/ and bench/), counted the way the project's checklist counts them.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { grep -cvE '^\s*($|//)' || true; }
tests=$(git ls-files -- tests | grep -E '\.(cpp|cc|h|hpp|sh|py|js|mjs)$' | xargs -r cat | count)
code=$(git ls-files | grep -E '\.(cpp|cc|h|hpp)$' | grep -vE '^(tests|bench)/' | xargs -r cat | count)
echo "test share: ${tests} test lines, ${code} code lines, $((100 * tests / code))%"
