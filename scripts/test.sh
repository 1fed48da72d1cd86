#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs every test, then builds the
# two programs once as a Release build (-O3), as packagers do. Warnings are errors in both.
# Tests that need root (the namespace tests) are skipped when not run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARROW_SANITIZE=ON \
  -DTARROW_WERROR=ON -DTARROW_BENCH=OFF >/dev/null
cmake --build build-test
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
(cd build-test && ctest --output-on-failure -j2 "$@")

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARROW_WERROR=ON \
  -DTARROW_TESTS=OFF -DTARROW_BENCH=OFF >/dev/null
cmake --build build-release --target tarrow tarrow-helper
