#!/usr/bin/env bash
# Builds Tarrow and starts it. Without a display it runs on Qt's offscreen platform
# (no tray icon; blocking, the command file and the state file work the same).
# Stop it with Ctrl-C: that empties the request, so the helper unblocks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARROW_TESTS=OFF \
  -DTARROW_BENCH=OFF >/dev/null
cmake --build build --target tarrow tarrow-helper
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
exec build/bin/tarrow "$@"
