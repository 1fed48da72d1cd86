#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent and quick when everything is there: apt runs only for what is missing.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config clang-format
  libicu-dev nlohmann-json3-dev libsqlite3-dev libssl-dev uuid-dev libasio-dev
  qt6-base-dev libgl-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  curl openssl iproute2 util-linux procps psmisc sqlite3 python3
  xvfb xauth x11-utils imagemagick chromium firefox-esr fonts-dejavu-core
  trayer xdotool dbus python3-dbus python3-gi
  weston qt6-wayland xwayland
  woff2 systemd
  ccache dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin libxml2-utils man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done
if ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi

# --check: only say whether something is missing (status 1), install nothing.
if [ "${1:-}" = --check ]; then
  [ ${#missing[@]} -eq 0 ] && exit 0
  echo "deps: missing ${missing[*]}" >&2
  exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "deps: missing ${missing[*]}; run as root to install them" >&2
    exit 1
  fi
  echo "deps: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The brand font is committed in resources/; this only fetches it when it is missing,
# and quietly does nothing without npm or the registry.
bash "$(dirname "$0")/fonts.sh" || true
