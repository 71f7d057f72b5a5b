#!/usr/bin/env bash
# wine_frame_rate.sh - tasko.exe under Wine against the Linux tasko at equal work, under Xvfb.
#
# Usage: wine_frame_rate.sh [N] [SIZE]     (N objects, default 10000; SIZE px, default 32)
#
# Both programs run frame_ratio.sh's static world (static_world.sh: N objects of one SIZExSIZE
# tile with partial alpha, 1280x1024, MULTITASK 0) one after the other, order swapped every other
# round, on one Xvfb server. Wine's OpenGL goes to the same Mesa llvmpipe as the Linux build, so
# both are counted the same way: Mesa's HUD, kept invisible, writes the frames per second of every
# half second to a file (GALLIUM_HUD=fps with GALLIUM_HUD_DUMP_DIR). A program's rate is the mean
# of the values from WARMUP to DURATION seconds after its launch. The last line is exactly:
#   frame ratio tasko.exe/tasko N=<N> size=<SIZE>: <median ratio> (tasko.exe <fps> fps, tasko <fps> fps)
#
# Environment:
#   TASKO      the Linux tasko (default: the first one below ./build)
#   TASKO_EXE  the Windows tasko.exe (default: build-windows/engine/tasko.exe)
#   ROUNDS     rounds (default 3); DURATION seconds per run (default 12); WARMUP (default 3)
#   WINEPREFIX Wine's prefix (default: build-windows/wineprefix, made when missing)
# Needs Xvfb, ImageMagick, Wine.
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
N=${1:-10000}
SIZE=${2:-32}
ROUNDS=${ROUNDS:-3}
DURATION=${DURATION:-12}
WARMUP=${WARMUP:-3}
SCREEN_W=1280
SCREEN_H=1024

die() { echo "wine_frame_rate: error: $*" >&2; exit 1; }
log() { echo "wine_frame_rate: $*" >&2; }

[[ $N =~ ^[0-9]+$ && $N -ge 1 ]] || die "N must be a positive integer (got '$N')"
[[ $DURATION =~ ^[0-9]+$ && $DURATION -ge $((WARMUP + 4)) ]] || die "DURATION must be >= WARMUP + 4"
CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || CONVERT=$(command -v convert) || die "missing ImageMagick convert"
WINE=$(command -v wine64 || command -v wine) || die "Wine is not installed"
TASKO=${TASKO:-build/bin/tasko}
TASKO_EXE=${TASKO_EXE:-build-windows/engine/tasko.exe}
[ -x "$TASKO" ] || die "the Linux tasko is not found; set TASKO"
[ -f "$TASKO_EXE" ] || die "tasko.exe is not found; set TASKO_EXE"
TASKO=$(cd "$(dirname "$TASKO")" && pwd)/$(basename "$TASKO")
TASKO_EXE=$(cd "$(dirname "$TASKO_EXE")" && pwd)/$(basename "$TASKO_EXE")
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$TASKO_EXE")/.." && pwd)/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" SDL_AUDIODRIVER=dummy

WORK=$(mktemp -d -t wine_frame_rate.XXXXXX) || die "mktemp failed"
XVFB_PID=""
RUN_PID=""
cleanup() {
  [ -n "$RUN_PID" ] && kill -9 "$RUN_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

source "$HERE/static_world.sh"
make_tile "$WORK/tile.png" "$SIZE" || die "convert failed to make the tile"
write_static_world "$WORK/world" "$N" "$SIZE" "$WORK/tile.png" "$SCREEN_W" "$SCREEN_H" ||
  die "cannot write the world"

: >"$WORK/display"
Xvfb -displayfd 3 -noreset -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp 3>"$WORK/display" \
  >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do grep -q '[0-9]' "$WORK/display" && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$WORK/display")"
[ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >/dev/null 2>&1 || die "wineboot failed"
wineserver -p

# run WHO: the mean frame rate of one run of tasko (linux) or tasko.exe (windows) in RATE.
run() {
  local hud=$WORK/hud-$1
  rm -rf "$hud" && mkdir -p "$hud"
  local -a command=("$TASKO")
  [ "$1" = windows ] && command=("$WINE" "$TASKO_EXE")
  (cd "$WORK/world" && GALLIUM_HUD=fps GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR=$hud \
    exec "${command[@]}") >"$WORK/$1.out" 2>&1 &
  RUN_PID=$!
  sleep "$DURATION"
  kill -0 "$RUN_PID" 2>/dev/null || die "$1 ended early: $(tail -n 5 "$WORK/$1.out")"
  kill "$RUN_PID"; sleep 1; kill -9 "$RUN_PID" 2>/dev/null; wait "$RUN_PID" 2>/dev/null
  RUN_PID=""
  # One value every half second from the first frame on: the warm-up's values are left out.
  RATE=$(awk -v skip=$((WARMUP * 2)) 'NR > skip { sum += $1; n++ } END { if (n) printf "%.2f", sum / n }' "$hud/fps" 2>/dev/null)
  [ -n "$RATE" ] || die "no frame count from $1"
}

log "N=$N size=$SIZE rounds=$ROUNDS duration=${DURATION}s warmup=${WARMUP}s"
ratios=(); lfps=(); wfps=()
for ((r = 1; r <= ROUNDS; r++)); do
  order="linux windows"
  ((r % 2 == 0)) && order="windows linux"
  for who in $order; do
    run "$who"
    if [ "$who" = linux ]; then linux=$RATE; else windows=$RATE; fi
  done
  ratio=$(awk -v a="$windows" -v b="$linux" 'BEGIN { printf "%.3f", a / b }')
  ratios+=("$ratio"); lfps+=("$linux"); wfps+=("$windows")
  echo "round $r: tasko.exe $windows fps, tasko $linux fps, ratio $ratio"
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf 'frame ratio tasko.exe/tasko N=%s size=%s: %.2f (tasko.exe %.2f fps, tasko %.2f fps)\n' \
  "$N" "$SIZE" "$(median "${ratios[@]}")" "$(median "${wfps[@]}")" "$(median "${lfps[@]}")"
