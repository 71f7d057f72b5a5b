#!/usr/bin/env bash
# tiled_import.sh - the cost of a large Tiled map: a 256 x 256 map with four full tile layers
# (262,144 tiles; 16 x 16 pixel tiles of one 8 x 8 sheet; the layers in CSV, base64, base64+zlib
# and base64+zstd; every eighth tile flipped), made here by a script, then
#   1. tasko --import-tiled: wall time and peak resident memory (GNU time),
#      and the reader alone (the import run on a copy of the map with its layers emptied is the
#      rest: world files, tile graphics, descriptors),
#   2. tasko playing it under Xvfb 1280x1024: time from launch to the first frame with the
#      objects (its second swap) and the frame rate over DURATION seconds (swapcount.so counts
#      SDL_GL_SwapWindow), and tasko's peak resident memory,
#   3. plom's start-up on the imported world (tile library and start-up map) and the redraw of
#      its main window with every placed tile (bench_builder_world, headless backend).
#
# Usage: bench/tiled_import.sh [BUILD_DIR]        (default: build/ beside this script's folder)
# Environment: SIZE (cells per side, default 256), LAYERS (default 4), DURATION (default 10).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd) || exit 1
TASKO=$build/bin/tasko
SIZE=${SIZE:-256}
LAYERS=${LAYERS:-4}
DURATION=${DURATION:-10}
for tool in Xvfb python3 convert cc zstd; do
  command -v "$tool" >/dev/null 2>&1 || { echo "tiled_import.sh: $tool is not installed" >&2; exit 1; }
done
[ -x "$TASKO" ] || { echo "tiled_import.sh: no tasko in $build/bin" >&2; exit 1; }
WORK=$(mktemp -d)
XVFB=""
TASKO_PID=""
cleanup() {
  [ -n "$TASKO_PID" ] && kill "$TASKO_PID" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# The sheet: 8 x 8 tiles of 16 pixels, each its own colour with a darker diagonal.
convert -size 128x128 xc:none "$WORK/sheet.png"
args=()
for i in $(seq 0 63); do
  x=$(( (i % 8) * 16 )) y=$(( (i / 8) * 16 ))
  args+=(-fill "rgb($((40 + i * 3)),$((200 - i * 2)),$((i * 4)))" -draw "rectangle $x,$y $((x + 15)),$((y + 15))"
         -fill "rgb(20,20,20)" -draw "line $x,$y $((x + 15)),$((y + 15))")
done
convert "$WORK/sheet.png" "${args[@]}" PNG32:"$WORK/sheet.png"
python3 - "$WORK/big.tmx" "$SIZE" "$LAYERS" <<'PY'
import base64, struct, subprocess, sys, zlib
path, size, layers = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
formats = ["csv", "base64", "zlib", "zstd"]
out = ['<?xml version="1.0" encoding="UTF-8"?>',
       '<map version="1.8" orientation="orthogonal" renderorder="right-down" width="%d" height="%d" '
       'tilewidth="16" tileheight="16" infinite="0">' % (size, size),
       ' <tileset firstgid="1" name="bench" tilewidth="16" tileheight="16" tilecount="64" columns="8">',
       '  <image source="sheet.png" width="128" height="128"/>', ' </tileset>']
seed = 12345
for layer in range(layers):
    gids = []
    for i in range(size * size):
        seed = seed * 16807 % 2147483647
        gid = 1 + seed % 64
        if i % 8 == layer:
            gid |= (seed >> 8 & 7) << 29
        gids.append(gid)
    fmt = formats[layer % 4]
    if fmt == "csv":
        data = '<data encoding="csv">\n' + ",\n".join(",".join(str(g) for g in gids[r * size:(r + 1) * size]) for r in range(size)) + "\n</data>"
    else:
        raw = struct.pack("<%dI" % len(gids), *gids)
        attribute = ""
        if fmt == "zlib":
            raw, attribute = zlib.compress(raw), ' compression="zlib"'
        elif fmt == "zstd":
            raw = subprocess.run(["zstd", "-c", "-q"], input=raw, stdout=subprocess.PIPE, check=True).stdout
            attribute = ' compression="zstd"'
        data = '<data encoding="base64"%s>\n%s\n</data>' % (attribute, base64.b64encode(raw).decode())
    out.append(' <layer id="%d" name="layer %d" width="%d" height="%d">%s</layer>' % (layer + 1, layer, size, size, data))
out.append("</map>")
open(path, "w").write("\n".join(out) + "\n")
PY
python3 -c 'import re, sys; open(sys.argv[2], "w").write(re.sub(r"<layer .*?</layer>", "", open(sys.argv[1]).read(), flags=re.S))' \
  "$WORK/big.tmx" "$WORK/empty.tmx"
echo "map: ${SIZE} x ${SIZE} cells, $LAYERS layers, $((SIZE * SIZE * LAYERS)) tiles, $(($(wc -c <"$WORK/big.tmx") / 1024)) KB"

measure() {  # measure LABEL MAP WORLD: wall seconds and peak KB of the import
  /usr/bin/time -f "%e %M" -o "$WORK/time.txt" "$TASKO" --import-tiled "$2" "$3" >"$WORK/import.txt" 2>&1 ||
    { cat "$WORK/import.txt" >&2; exit 1; }
  read -r seconds kb <"$WORK/time.txt"
  echo "$1: $seconds s, peak resident $((kb / 1024)) MB"
}
measure "import (whole)" "$WORK/big.tmx" "$WORK/world"
measure "import of the same map without its layers (world files, graphics, descriptors)" "$WORK/empty.tmx" "$WORK/empty-world"
echo "map file: $(($(wc -c <"$WORK/world/MAPS/LVL0.dll") / 1024)) KB, $(tr -d '\r' <"$WORK/world/MAPS/LVL0.dll" | grep -c '^TILE$') records, $(ls "$WORK/world/GFX" | grep -c '\.png$') tile graphics"

# tasko under Xvfb with the swap counter.
cc -O2 -shared -fPIC -o "$WORK/swapcount.so" "$here/swapcount.c" -ldl || exit 1
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB=$!
for _ in $(seq 100); do grep -q '[0-9]' "$WORK/display" 2>/dev/null && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$WORK/display")" SDL_AUDIODRIVER=dummy
epoch=$(date +%s.%N)
(cd "$WORK/world" && SWAPCOUNT_EPOCH=$epoch SWAPCOUNT_OUT=$WORK/swaps.txt LD_PRELOAD=$WORK/swapcount.so exec "$TASKO") \
  >"$WORK/tasko.out" 2>&1 &
TASKO_PID=$!
sleep "$DURATION"
peak=$(awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$TASKO_PID/status" 2>/dev/null)
kill "$TASKO_PID" 2>/dev/null
wait "$TASKO_PID" 2>/dev/null
TASKO_PID=""
[ -s "$WORK/swaps.txt" ] || { echo "tasko showed no frame; its output:" >&2; cat "$WORK/tasko.out" >&2; exit 1; }
awk -v d="$DURATION" '
  NR == 3 {first = $2}
  NR > 3 && $1 > 2 && !a {a = 1; f1 = $1; s1 = $2}
  $1 > 2 && $2 <= d {f2 = $1; s2 = $2}
  END {
    printf "tasko: first frame with the map %.2f s after launch; ", first
    if (s2 > s1) printf "%.1f frames per second over %.1f s", (f2 - f1) / (s2 - s1), s2 - s1
    else printf "too few frames to measure a rate"
    printf "\n"
  }' "$WORK/swaps.txt"
echo "tasko: peak resident ${peak:-?} MB"
TASKO_BENCH_WORLD=$WORK/world "$build/bench/bench_builder_world" --benchmark_min_time=1 2>&1 | grep -v '^-\|^Run on\|CPU Caches\|L[123] \|Load Average\|^\*\*\*'
