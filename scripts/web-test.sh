#!/usr/bin/env bash
# Runs the browser tests: the web runtime that scripts/web-build.sh built into build-web/, in
# Debian's headless chromium (WebGL 2 on SwiftShader), beside the native engine of build/ (built
# here when missing). The tests are the ctest tests web_*; they skip when build-web/ is empty.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS
./scripts/install-deps.sh --web
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tasko >/dev/null
ctest --test-dir build --output-on-failure -R '^web_' "$@"
echo "web-test: browser tests done in $((SECONDS - start)) s"
