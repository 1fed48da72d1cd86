#!/usr/bin/env bash
# Builds the Debian package build-package/tarrow_<version>_<arch>.deb: a Release build
# of the two programs with Debian's hardening flags, packed by CPack (packaging/).
# Install it with: sudo apt install ./build-package/tarrow_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Cache hits also for a clone in another folder (CI).
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}"

# Debian's flags without debug info (the programs ship stripped: -s at link time, so the
# helper's digest is taken of the very file that is installed) and without the path map
# (it names this folder and would defeat the compiler cache).
flags() {
  DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1" | tr ' ' '\n' |
    grep -v -e '^-g$' -e '^-ffile-prefix-map=' -e '^$' | tr '\n' ' '
}
# GCC 12 reports a false -Wrestrict inside std::string at -O3; it stays a warning here.
cxxflags="$(flags CPPFLAGS)$(flags CXXFLAGS)-Wno-error=restrict"
ldflags="$(flags LDFLAGS)-s"

build="build-package"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARROW_TESTS=OFF \
  -DTARROW_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DCMAKE_INSTALL_PREFIX=/usr "-DCMAKE_CXX_FLAGS=$cxxflags" \
  "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" >/dev/null
cmake --build "$build" --target tarrow tarrow-helper tarrow_package_files
rm -f "$build"/tarrow_*.deb
(cd "$build" && cpack -G DEB >/dev/null)

deb=$(ls "$build"/tarrow_*.deb)
echo "package: $deb ($(stat -c %s "$deb") bytes, installed size" \
  "$(dpkg-deb -f "$deb" Installed-Size) KiB)"
