#!/usr/bin/env bash
# Cross-builds everything for 64-bit Windows with MinGW-w64 into build-windows/: the libraries
# from Debian's source packages into a prefix kept between runs (scripts/windows-deps.sh), then
# the programs and the Windows test programs, then the package
# build-windows/tasko-<version>-win64.zip. scripts/windows-test.sh tests the result under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS

./scripts/install-deps.sh
./scripts/install-deps.sh --windows
prefix=$(scripts/windows-deps.sh | tail -n 1)
[ -d "$prefix/lib" ] || { echo "windows-build: the dependency prefix '$prefix' is not there" >&2; exit 1; }
echo "windows-build: libraries in $prefix ($((SECONDS - start)) s)"

export TASKO_WINDOWS_DEPS=$prefix
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DTASKO_WINDOWS_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCH=OFF >/dev/null
cmake --build build-windows -j"$(nproc)"
(cd build-windows && cpack -G ZIP >/dev/null)
zip=$(ls -t build-windows/tasko-*-win64.zip | head -n 1)
echo "windows-build: $zip ($(du -k "$zip" | cut -f1) KiB) after $((SECONDS - start)) s"
