#!/usr/bin/env bash
# web_frame_rate.sh - tasko's frame rate in headless chromium (the web runtime of build-web/,
# WebGL 2 on SwiftShader) beside the native tasko (llvmpipe under Xvfb), on the static world of
# frame_ratio.sh (static_world.sh), in the same run.
#
# Usage: web_frame_rate.sh [N] [SIZE]      (N objects, default 10000; SIZE px, default 32)
#
# Native: frames counted by swapcount.so between WARMUP and DURATION seconds after the launch.
# Browser: the page's own frame counter (one per animation frame) over the same span after its
# first frame; chromium runs with its frame-rate limit off, so neither side waits for a display
# refresh. Also says how long the engine's step (the wasm code and its GL calls) takes of each
# frame; the rest is the browser drawing (SwiftShader) and composing. Prints the two rates and
# their ratio:
#   web frame rate N=<N> size=<SIZE>: chromium <fps> fps, native <fps> fps, ratio <web/native>
# Environment: TASKO (default build/bin/tasko), WEB_BUILD_DIR (default build-web), DURATION
# (default 12), WARMUP (default 2).
set -uo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE=$(cd "$HERE/.." && pwd)
N=${1:-10000}
SIZE=${2:-32}
TASKO=${TASKO:-$SOURCE/build/bin/tasko}
WEB=${WEB_BUILD_DIR:-$SOURCE/build-web}
DURATION=${DURATION:-12}
WARMUP=${WARMUP:-2}
SCREEN_W=1280
SCREEN_H=1024
CONVERT=convert
log() { echo "web_frame_rate: $*" >&2; }
die() { log "error: $*"; exit 1; }
[ -x "$TASKO" ] || die "no native engine at $TASKO"
[ -s "$WEB/tasko.wasm" ] || die "no web runtime in $WEB (scripts/web-build.sh)"

WORK=$(mktemp -d)
PIDS=()
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

source "$HERE/static_world.sh"
make_tile "$WORK/tile.png" "$SIZE" || die "convert failed to make the tile"
write_static_world "$WORK/world" "$N" "$SIZE" "$WORK/tile.png" "$SCREEN_W" "$SCREEN_H" || die "cannot write the world"
cc -O2 -shared -fPIC -o "$WORK/swapcount.so" "$HERE/swapcount.c" -ldl || die "cannot build the shim"

# --- native ---
: >"$WORK/display"
Xvfb -displayfd 3 -noreset -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do grep -q '[0-9]' "$WORK/display" && break; sleep 0.1; done
grep -q '[0-9]' "$WORK/display" || die "Xvfb did not start"
(cd "$WORK/world" && DISPLAY=":$(tr -dc '0-9' <"$WORK/display")" SDL_AUDIODRIVER=dummy \
  SWAPCOUNT_OUT="$WORK/swaps" LD_PRELOAD="$WORK/swapcount.so" exec "$TASKO") >/dev/null 2>&1 &
native_pid=$!
sleep "$DURATION"
kill "$native_pid" 2>/dev/null; wait "$native_pid" 2>/dev/null
native=$(awk -v w="$WARMUP" -v d="$DURATION" 'NR > 4 && $2 >= w && $2 <= d { if (!f1) { f1 = $1; s1 = $2 } f2 = $1; s2 = $2 }
  END { if (s2 > s1) printf "%.1f", (f2 - f1) / (s2 - s1); else print "0" }' "$WORK/swaps")

# --- browser ---
"$TASKO" --export-web "$WORK/site" "$WORK/world" >/dev/null || die "cannot export the world"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server --bind 127.0.0.1 --directory "$WORK/site" "$port" >/dev/null 2>&1 &
PIDS+=($!)
sleep 1
mkdir -p "$WORK/profile"
span=$((DURATION - WARMUP))
web=$(printf '%s\n' "open http://127.0.0.1:$port/" \
  "wait 60 window.taskoPage && taskoPage.frames > 3" \
  "eval (() => { window.benchSteps = [0, 0]; let t0 = 0; Module.preMainLoop = () => { t0 = performance.now(); }; const post = Module.postMainLoop; Module.postMainLoop = () => { benchSteps[0] += performance.now() - t0; benchSteps[1] += 1; post(); }; return true; })()" \
  "wait $((WARMUP + 1)) false" \
  "eval [taskoPage.frames, performance.now()]" \
  "wait $span false" \
  "eval [taskoPage.frames, performance.now()]" \
  "eval Math.round(taskoPage.firstFrameMs)" \
  "eval (benchSteps[0] / Math.max(1, benchSteps[1])).toFixed(1)" quit |
  CDP_EXTRA_FLAGS="--disable-frame-rate-limit --disable-gpu-vsync" \
  python3 "$SOURCE/tests/web/cdp.py" "$SCREEN_W" "$SCREEN_H" "$WORK/profile")
chromium=$(python3 -c '
import json, sys
lines = [l[3:] for l in sys.stdin.read().splitlines() if l.startswith("ok ")]
a, b = json.loads(lines[4]), json.loads(lines[6])
print("%.1f %s %s" % ((b[0] - a[0]) * 1000.0 / (b[1] - a[1]), json.loads(lines[7]), json.loads(lines[8])))' <<<"$web") ||
  die "the page did not run: $web"
read -r web_fps first_ms step_ms <<<"$chromium"
log "page's first frame ${first_ms} ms after loading; the engine's step takes ${step_ms} ms of each frame"
ratio=$(awk -v a="$web_fps" -v b="$native" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }')
echo "web frame rate N=$N size=$SIZE: chromium $web_fps fps, native $native fps, ratio $ratio"
