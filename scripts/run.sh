#!/usr/bin/env bash
# Builds Tarrow and starts it. Without a display it runs on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARROW_TESTS=OFF >/dev/null
cmake --build build
if [ -x build/bin/tarrow ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
  fi
  exec build/bin/tarrow "$@"
fi
exec build/bin/tarrow-helper --version
