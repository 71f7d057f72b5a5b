#!/usr/bin/env bash
# Builds the engine for the browser into build-web/: tasko.js and tasko.wasm (emscripten, the
# overlay's font built in) and the page index.html (web/index.html). The libraries come from
# Debian's source packages, built once into a prefix kept between runs
# (scripts/windows-deps.sh --web). With BUILD_TESTS on (the default) also the browser tests'
# fault program, build-web/test/tasko_draw_fault.js.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS

./scripts/install-deps.sh --web
prefix=$(scripts/windows-deps.sh --web | tail -n 1)
[ -d "$prefix/lib" ] || { echo "web-build: the dependency prefix '$prefix' is not there" >&2; exit 1; }
echo "web-build: libraries in $prefix ($((SECONDS - start)) s)"

# Debian's node does not look into /usr/share/nodejs, where emscripten's acorn is.
export NODE_PATH=/usr/share/nodejs
export TASKO_WEB_DEPS=$prefix
cmake -S . -B build-web -G Ninja -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--no-experimental-fetch" \
  -DTASKO_WEB_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCH=OFF >/dev/null
cmake --build build-web -j"$(nproc)"
for file in tasko.js tasko.wasm index.html; do
  [ -s "build-web/$file" ] || { echo "web-build: build-web/$file was not made" >&2; exit 1; }
done
echo "web-build: build-web/tasko.wasm $(stat -c %s build-web/tasko.wasm) bytes, tasko.js $(stat -c %s build-web/tasko.js) bytes after $((SECONDS - start)) s"
