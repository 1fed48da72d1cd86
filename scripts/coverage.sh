#!/usr/bin/env bash
# Line and branch coverage of the product code (not tests/ or bench/) by the whole suite:
# a gcov build in build-coverage, every test run, then one summary from lcov.
# Extra arguments go to ctest (for example -R helper to look at one area).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v lcov >/dev/null || { echo "coverage: lcov is missing (apt-get install lcov)" >&2; exit 1; }
# The programs get a small object that writes their counts before a signal or _exit ends
# them, so that the whole-program tests count too.
mkdir -p build-coverage
g++ -std=c++20 -O0 -c tests/support/coverage_dump.cpp -o build-coverage/coverage_dump.o
cmake -S . -B build-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARROW_WERROR=ON \
  -DTARROW_BENCH=OFF -DCMAKE_CXX_FLAGS="--coverage -O0" ${CMAKE_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_LAUNCHER} \
  -DCMAKE_EXE_LINKER_FLAGS="--coverage -Wl,--wrap=_exit $PWD/build-coverage/coverage_dump.o" -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build build-coverage
lcov --quiet --zerocounters --directory build-coverage
(cd build-coverage && ctest -j2 "$@" >ctest.log 2>&1) || echo "coverage: some tests failed (build-coverage/ctest.log)" >&2
lcov --quiet --capture --rc lcov_branch_coverage=1 --directory build-coverage \
  --output-file build-coverage/all.info 2>/dev/null
lcov --quiet --rc lcov_branch_coverage=1 --extract build-coverage/all.info \
  "$PWD/app/*" "$PWD/common/*" "$PWD/helper/*" "$PWD/platform/*" \
  --output-file build-coverage/product.info
lcov --rc lcov_branch_coverage=1 --summary build-coverage/product.info
