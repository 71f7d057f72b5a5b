#!/usr/bin/env bash
# Installs missing dependencies, builds everything into build/ and runs all tests with ctest,
# exiting with ctest's status. Extra arguments go to ctest (for example: ./test.sh -R headless).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

# ctest's timing line follows its summary; it is left out (with trailing blank lines) so that
# the summary "100% tests passed, ..." is the last line printed.
set +e
ctest --test-dir build --output-on-failure -j2 "$@" 2>&1 |
  awk '/^Total Test time/ { next }
       /^$/ { blank++; next }
       { while (blank > 0) { print ""; blank-- } print; fflush() }'
status=${PIPESTATUS[0]}
set -e
exit "$status"
