#!/usr/bin/env bash
# Runs a command with an X display: the current one when DISPLAY is set and reachable,
# otherwise a fresh Xvfb server of 1280x1024x24 for the command's lifetime.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
exec xvfb-run -a -s '-noreset -screen 0 1280x1024x24 -nolisten tcp' "$@"
