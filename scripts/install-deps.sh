#!/usr/bin/env bash
# Installs the Debian packages needed to build and test tasko and plom, only those missing.
# Quiet when everything is installed already. With --windows, also what the Windows cross-build
# and its tests under Wine need (scripts/windows-build.sh, scripts/windows-test.sh); with --web,
# what the browser build and its tests need (scripts/web-build.sh, scripts/web-test.sh).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

packages=(
  build-essential cmake pkg-config dpkg-dev file
  libsdl2-dev libsdl2-mixer-dev libfltk1.3-dev libepoxy-dev libgl-dev
  libpng-dev libjpeg-dev libtiff-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xfonts-base xdotool x11-utils imagemagick sox libgl1-mesa-dri libsdl2-tests
  openbox x11-xkb-utils
  libpugixml-dev libzstd-dev tiled
)
if [ "${1:-}" = --windows ]; then
  # The MinGW-w64 compilers and zlib as binaries; the other libraries are built from Debian's
  # source packages (dpkg-dev unpacks them; meson and ninja build libepoxy); Wine runs the
  # results; zip and NSIS pack them.
  packages+=(
    g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev meson ninja-build python3
    wine wine64 zip unzip nsis
  )
fi
if [ "${1:-}" = --web ]; then
  # The browser build: Debian's emscripten (with clang, binaryen and node) builds the engine
  # and, from Debian's source packages, its libraries; chromium runs it in the tests.
  packages+=(emscripten nodejs node-acorn dpkg-dev ninja-build python3 chromium fonts-dejavu-core)
fi
# Sprite sheets: Tiled's tileset files are read with pugixml; the tests import Tiled's own
# example tileset (the tiled package).
packages+=(libpugixml-dev tiled)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "install-deps: not root and sudo is not available; install these packages: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
