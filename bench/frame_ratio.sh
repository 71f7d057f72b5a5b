#!/usr/bin/env bash
# frame_ratio.sh - tasko's frame rate against SDL2's testsprite2 at equal work, under Xvfb.
#
# Usage: frame_ratio.sh [N] [SIZE]      (N objects/sprites, default 10000; SIZE px, default 32)
#
# With MOVING=1 tasko gets, instead of the static world below, the moving world that
# make_world.sh (beside this script) writes for the same N and SIZE: objects with random
# directions and speeds, a share of colliders and walls, several tile kinds, some animated
# (see its header; its WALL_SHARE, COLLIDER_SHARE, ANIM_SHARE, KINDS, MAX_SPEED and SEED pass
# through). testsprite2 gets that world's plain tile, the same picture as the static world's.
#
# Builds, in a temporary directory, a world of N objects of one SIZExSIZE RGBA tile with partial
# alpha (ImageMagick), placed at fixed pseudo-random spots all inside the 1280x1024 screen, drawn
# at scale 1 (SOURCEWIDTH/HEIGHT 1280x1024), MULTITASK 0; and the same picture as a 32-bit BMP
# for testsprite2. Starts one Xvfb 1280x1024x24 (-noreset) and, for ROUNDS rounds, runs tasko
# and testsprite2 one after the other (order swapped every other round) with swapcount.so
# preloaded, which counts SDL_GL_SwapWindow (tasko) and SDL_RenderPresent (testsprite2) calls.
# Each program's frame rate is frames / seconds between the first count line at or after WARMUP
# seconds from its launch and the last one at or before DURATION seconds (both lines are written
# at the end of a frame); lines of the first three frames are left out (tasko draws its first
# frame empty and loads its area after it). After DURATION, round 1 takes a screenshot of each.
#
# Prints per round the two rates (testsprite2's own 5-second reports beside its own), and for
# tasko the time from launch to its window and to its first frame with the objects (its 2nd
# swap), and its resident memory (VmRSS, peak VmHWM) at DURATION. The last line is exactly:
#   frame ratio tasko/testsprite2 N=<N> size=<SIZE>: <median ratio> (tasko <fps> fps, testsprite2 <fps> fps)
# (the median of the per-round ratios, and the medians of the per-round rates). Exit status 0
# when it measured; 1 when anything failed.
#
# Environment:
#   TASKO        the engine binary (default: the first tasko found in the build folder of the
#                current directory)
#   ROUNDS       rounds (default 3)
#   DURATION     seconds of each run, whole (default 12)
#   WARMUP       seconds left out after each launch, whole (default 2)
#   RENDERER     testsprite2's render driver (default opengl, as peer_testsprite.sh)
#   PEER_BATCHING  1: SDL_RENDER_BATCHING=1 for testsprite2 (SDL turns its batching off when a
#                driver is named, as --renderer does); unset: SDL's default
#   MALLOC_TUNED 1: run both programs with glibc's heap trimming off (GLIBC_TUNABLES
#                trim_threshold 256 MiB, mmap_threshold 32 MiB). llvmpipe frees and re-allocates
#                its per-frame memory; when glibc hands it back to the kernel each frame, the
#                page faults cost a program up to half its rate, and whether that happens is
#                settled by chance at start-up, so a program's rate can differ 2-3x between
#                runs. Unset: both as shipped (default)
#   TESTSPRITE2  the testsprite2 binary (default: the one of the libsdl2-tests package)
#   SWAPCOUNT_SO the shim (default: built from swapcount.c beside this script)
#   KEEP         1: keep the temporary directory (world, count files, logs, screenshots)
#   MOVING       1: the moving world of make_world.sh; unset: the static world (default)
# Needs Xvfb, xdotool, xwininfo, ImageMagick (convert, import), a C compiler, libsdl2-tests.
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
N=${1:-10000}
SIZE=${2:-32}
ROUNDS=${ROUNDS:-3}
DURATION=${DURATION:-12}
WARMUP=${WARMUP:-2}
RENDERER=${RENDERER:-opengl}
PEER_BATCHING=${PEER_BATCHING:-}
MALLOC_TUNED=${MALLOC_TUNED:-}
MOVING=${MOVING:-}
TUNABLES=glibc.malloc.trim_threshold=268435456:glibc.malloc.mmap_threshold=33554432
SCREEN_W=1280
SCREEN_H=1024

die() { echo "frame_ratio: error: $*" >&2; exit 1; }
log() { echo "frame_ratio: $*" >&2; }

[[ $N =~ ^[0-9]+$ && $N -ge 1 ]] || die "N must be a positive integer (got '$N')"
[[ $SIZE =~ ^[0-9]+$ && $SIZE -ge 4 && $SIZE -le 512 ]] || die "SIZE must be 4..512 (got '$SIZE')"
[[ $ROUNDS =~ ^[0-9]+$ && $ROUNDS -ge 1 ]] || die "ROUNDS must be a positive integer"
[[ $DURATION =~ ^[0-9]+$ && $DURATION -ge $((WARMUP + 4)) ]] || die "DURATION must be an integer >= WARMUP + 4"

# --- tools --------------------------------------------------------------------------------------
for tool in Xvfb xdotool xwininfo import cc awk; do
  command -v "$tool" >/dev/null 2>&1 || die "missing tool: $tool"
done
CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || CONVERT=$(command -v convert) || die "missing ImageMagick convert"

if [ -z "${TASKO:-}" ]; then
  for dir in ./build; do
    TASKO=$(find "$dir" -type f -name tasko -perm -u+x 2>/dev/null | head -n 1)
    [ -n "$TASKO" ] && break
  done
fi
[ -n "${TASKO:-}" ] && [ -x "$TASKO" ] || die "tasko not found; set TASKO=/path/to/tasko"
TASKO=$(cd "$(dirname "$TASKO")" && pwd)/$(basename "$TASKO")

if [ -z "${TESTSPRITE2:-}" ]; then
  TESTSPRITE2=$(dpkg -L libsdl2-tests 2>/dev/null | grep '/testsprite2$' | head -n 1)
fi
[ -n "${TESTSPRITE2:-}" ] && [ -x "$TESTSPRITE2" ] ||
  die "testsprite2 not found (apt-get install libsdl2-tests, or set TESTSPRITE2)"

WORK=$(mktemp -d -t frame_ratio.XXXXXX) || die "mktemp failed"
XVFB_PID=""
RUN_PID=""
cleanup() {
  if [ -n "$RUN_PID" ] && kill -0 "$RUN_PID" 2>/dev/null; then
    kill "$RUN_PID" 2>/dev/null; sleep 0.5; kill -9 "$RUN_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
  if [ "${KEEP:-0}" = 1 ]; then log "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

SHIM=${SWAPCOUNT_SO:-}
if [ -z "$SHIM" ]; then
  SHIM=$WORK/swapcount.so
  cc -O2 -shared -fPIC -o "$SHIM" "$HERE/swapcount.c" -ldl 2>"$WORK/cc.log" ||
    die "cannot build the shim: $(cat "$WORK/cc.log")"
fi
[ -r "$SHIM" ] || die "shim $SHIM not readable"

# --- the picture (static_world.sh), and the same pixels as a 32-bit BMP for testsprite2 ---------
source "$HERE/static_world.sh"
TILE_PNG=$WORK/tile.png
TILE_BMP=$WORK/tile.bmp
make_tile "$TILE_PNG" "$SIZE" || die "convert failed to make the tile"
"$CONVERT" "$TILE_PNG" BMP:"$TILE_BMP" || die "convert failed to make the BMP"

# --- the world ----------------------------------------------------------------------------------
WORLD=$WORK/world
if [ "$MOVING" = 1 ]; then
  "$HERE/make_world.sh" "$WORLD" "$N" "$SIZE" >&2 || die "make_world.sh failed"
  cp "$WORLD/tile.png" "$TILE_PNG" && "$CONVERT" "$TILE_PNG" BMP:"$TILE_BMP" ||
    die "convert failed to make the BMP"
else
  write_static_world "$WORLD" "$N" "$SIZE" "$TILE_PNG" "$SCREEN_W" "$SCREEN_H" || die "cannot write the world"
fi

# --- X server -----------------------------------------------------------------------------------
: >"$WORK/display"
Xvfb -displayfd 3 -noreset -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp 3>"$WORK/display" \
  >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do grep -q '[0-9]' "$WORK/display" && break; sleep 0.1; done
grep -q '[0-9]' "$WORK/display" || die "Xvfb did not start: $(cat "$WORK/xvfb.log")"
export DISPLAY=":$(tr -dc '0-9' <"$WORK/display")"
xdotool getmouselocation >/dev/null 2>&1 || die "cannot talk to Xvfb on $DISPLAY"
export SDL_AUDIODRIVER=dummy

# --- helpers ------------------------------------------------------------------------------------
wait_gone() { # PID TENTHS
  local i
  for ((i = 0; i < $2; i++)); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
# fps_of FILE: frames per second over the steady window, or nothing.
fps_of() {
  awk -v warm="$WARMUP" -v end="$DURATION" '
    $1 >= 3 && $2 >= warm && $2 <= end {
      if (!have) { f0 = $1; s0 = $2; have = 1 } f1 = $1; s1 = $2 }
    END { if (have && s1 > s0 + 1 && f1 > f0) printf "%.2f %d %.2f\n", (f1 - f0) / (s1 - s0), f1 - f0, s1 - s0 }' "$1"
}
now() { date +%s.%N; }
sleep_until() { # EPOCH TARGET_SECONDS
  local left
  left=$(awk -v a="$1" -v b="$(now)" -v t="$2" 'BEGIN { d = a + t - b; printf "%.3f", (d > 0 ? d : 0) }')
  sleep "$left"
}

# run_tasko ROUND: sets T_FPS, T_INFO
run_tasko() {
  local r=$1 counts=$WORK/tasko-$1.txt out=$WORK/tasko-$1.out t0 rss hwm
  T_FPS=""; T_INFO=""
  rm -f "$counts"
  t0=$(now)
  (cd "$WORLD" && { [ "$MALLOC_TUNED" != 1 ] || export GLIBC_TUNABLES=$TUNABLES; } &&
    SWAPCOUNT_EPOCH=$t0 SWAPCOUNT_OUT=$counts LD_PRELOAD=$SHIM exec "$TASKO") >"$out" 2>&1 &
  RUN_PID=$!
  sleep_until "$t0" "$DURATION"
  if ! kill -0 "$RUN_PID" 2>/dev/null; then
    log "tasko ended early (round $r): $(tail -n 5 "$out")"; RUN_PID=""; return 1
  fi
  rss=$(awk '/^VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$RUN_PID/status")
  hwm=$(awk '/^VmHWM/ { printf "%.0f", $2 / 1024 }' "/proc/$RUN_PID/status")
  if [ "$r" = 1 ]; then
    import -window root "$WORK/tasko-shot.png" 2>/dev/null
  fi
  # Escape + left Alt with the pointer over the window (focus follows the pointer, no WM).
  xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
  xdotool keydown Alt_L keydown Escape
  wait_gone "$RUN_PID" 100 || { log "tasko did not end on Escape+Alt; killing it"; kill -9 "$RUN_PID"; }
  xdotool keyup Escape keyup Alt_L
  wait "$RUN_PID" 2>/dev/null
  RUN_PID=""
  local window first
  window=$(awk '$1 == 0 { printf "%.3f", $2; exit }' "$counts")
  first=$(awk '$1 == 2 { printf "%.3f", $2; exit }' "$counts")
  T_FPS=$(fps_of "$counts")
  T_INFO="window ${window:-?} s, first frame with objects ${first:-?} s, VmRSS ${rss:-?} MiB (peak ${hwm:-?})"
  [ -n "$T_FPS" ]
}

# run_peer ROUND: sets P_FPS, P_OWN
run_peer() {
  local r=$1 counts=$WORK/peer-$1.txt out=$WORK/peer-$1.out t0
  local -a batch=()
  P_FPS=""; P_OWN=""
  [ -n "$PEER_BATCHING" ] && batch=(SDL_RENDER_BATCHING="$PEER_BATCHING")
  [ "$MALLOC_TUNED" = 1 ] && batch+=(GLIBC_TUNABLES="$TUNABLES")
  rm -f "$counts"
  # SIGTERM becomes SDL_QUIT: testsprite2 ends cleanly; env keeps the shim out of timeout. It
  # runs 2 s past the window, which leaves time for the screenshot.
  t0=$(now)
  timeout --kill-after=10 -s TERM $((DURATION + 2)) env "${batch[@]}" SWAPCOUNT_EPOCH="$t0" \
    SWAPCOUNT_OUT="$counts" LD_PRELOAD="$SHIM" "$TESTSPRITE2" --renderer "$RENDERER" \
    --blend blend --geometry ${SCREEN_W}x${SCREEN_H} --position 0,0 "$N" "$TILE_BMP" >"$out" 2>&1 &
  RUN_PID=$!
  sleep_until "$t0" "$DURATION"
  if [ "$r" = 1 ] && kill -0 "$RUN_PID" 2>/dev/null; then
    import -window root "$WORK/peer-shot.png" 2>/dev/null
  fi
  wait "$RUN_PID" 2>/dev/null
  RUN_PID=""
  P_FPS=$(fps_of "$counts")
  # testsprite2's own report: frames per second over each 5 s from its start.
  P_OWN=$(grep -io '[0-9][0-9.]* frames per second' "$out" | awk '{ printf "%s%s", sep, $1; sep = " " }')
  [ -n "$P_FPS" ] || log "testsprite2 gave no count (round $r): $(tail -n 5 "$out")"
  [ -n "$P_FPS" ]
}

# --- rounds -------------------------------------------------------------------------------------
log "N=$N size=$SIZE world=$([ "$MOVING" = 1 ] && echo moving || echo static) rounds=$ROUNDS duration=${DURATION}s warmup=${WARMUP}s display=$DISPLAY"
log "tasko: $TASKO"
log "testsprite2: $TESTSPRITE2 --renderer $RENDERER${PEER_BATCHING:+ (SDL_RENDER_BATCHING=$PEER_BATCHING)}"
[ "$MALLOC_TUNED" = 1 ] && log "both programs with GLIBC_TUNABLES=$TUNABLES"
ratios=(); tfps=(); pfps=()
for ((r = 1; r <= ROUNDS; r++)); do
  if ((r % 2 == 1)); then order="tasko peer"; else order="peer tasko"; fi
  for who in $order; do
    if [ "$who" = tasko ]; then run_tasko "$r" || die "no frame count from tasko in round $r"
    else run_peer "$r" || die "no frame count from testsprite2 in round $r"; fi
    sleep 1
  done
  read -r tf tn ts <<<"$T_FPS"
  read -r pf pn ps <<<"$P_FPS"
  ratio=$(awk -v a="$tf" -v b="$pf" 'BEGIN { printf "%.3f", a / b }')
  ratios+=("$ratio"); tfps+=("$tf"); pfps+=("$pf")
  echo "round $r: tasko $tf fps ($tn frames in ${ts} s; $T_INFO)"
  echo "round $r: testsprite2 $pf fps ($pn frames in ${ps} s; its own 5 s reports: ${P_OWN:-none})"
  echo "round $r: ratio $ratio"
done

# Sanity: the round 1 screenshots show the tile's opaque orange disc, so the sprites were drawn.
orange() {
  "$CONVERT" "$1" -fuzz 8% -fill black +opaque 'rgb(230,120,30)' -fill white \
    -opaque 'rgb(230,120,30)' -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
for shot in tasko peer; do
  [ -f "$WORK/$shot-shot.png" ] || continue
  count=$(orange "$WORK/$shot-shot.png")
  echo "check: the $shot screenshot shows ${count:-?} pixels of the tile's orange disc"
  [ "${count:-0}" -gt 0 ] || die "the $shot screenshot shows none of the tile: nothing drawn?"
done

# Spread of the rounds; a wide one means a bimodal rate (see MALLOC_TUNED), so more rounds.
spread=$(printf '%s\n' "${ratios[@]}" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 }
  END { printf "%.2f %.2f %s", lo, hi, (hi > 1.5 * lo ? "wide" : "narrow") }')
read -r lo hi width <<<"$spread"
note=""
[ "$width" = wide ] && note=" (wide: the rates differ between runs; raise ROUNDS or set MALLOC_TUNED=1)"
echo "spread: per-round ratios from $lo to $hi$note"

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
mr=$(median "${ratios[@]}"); mt=$(median "${tfps[@]}"); mp=$(median "${pfps[@]}")
printf 'frame ratio tasko/testsprite2 N=%s size=%s: %.2f (tasko %.2f fps, testsprite2 %.2f fps)\n' \
  "$N" "$SIZE" "$mr" "$mt" "$mp"
exit 0
