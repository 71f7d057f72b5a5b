# Sourced by the frame-rate benchmarks: the benchmark tile and the static world of N objects.
# shellcheck shell=bash
# Needs CONVERT (ImageMagick's convert) set by the caller.

# make_tile PNG SIZE: SIZE x SIZE RGBA, a half-transparent blue square, an opaque orange disc and
# one fully transparent corner block. The block is magenta: testsprite2 keys out every pixel of
# its top-left pixel's RGB (whatever the alpha), so that colour must occur nowhere else.
make_tile() {
  local png=$1 size=$2
  "$CONVERT" -size "${size}x${size}" xc:'rgba(40,90,200,0.5)' -fill 'rgba(230,120,30,1)' \
    -draw "circle $((size / 2)),$((size / 2)) $((size / 2)),$((size / 5))" \
    \( -size "$((size / 4))x$((size / 4))" xc:'rgba(255,0,255,0)' \) -geometry +0+0 \
    -compose copy -composite PNG32:"$png"
}

# write_static_world WORLD N SIZE TILE_PNG SCREEN_W SCREEN_H: a world of N objects of the tile,
# at fixed pseudo-random spots all inside the screen, drawn at scale 1 (SOURCEWIDTH/HEIGHT the
# screen's size), MULTITASK 0. Object 0 lies at (0,0): with no MAPSTART object the view origin
# is object 0's position. The others lie at Park-Miller pseudo-random spots with the whole tile
# on screen (the same every run).
write_static_world() {
  local world=$1 n=$2 size=$3 tile=$4 w=$5 h=$6
  crlf() { printf '%s\r\n' "$@"; }
  mkdir -p "$world/CORE" "$world/LOG" "$world/tiles" "$world/maps" "$world/snd" "$world/anim" || return 1
  crlf SYSTEMTEXT texts.txt CODECS codecs.txt ERRORPATH LOG/err.txt WARNINGS LOG/warn.txt \
    MULTITASK 0 GRIDSIZE 32 MATRIXSIZE 8 MAXOBJECTS $((n + 16)) SIMCORE maps/ \
    SOURCEWIDTH "$w" SOURCEHEIGHT "$h" GFX tiles/ APPENTRY 0 SOUNDPATH snd/ \
    ANIMSYSTEM anim/ MAXANIMFRAMES 8 >"$world/CORE/ini.crc"
  crlf GFXCODEC - .png - SOUNDCODEC - .wav - >"$world/codecs.txt"
  crlf "#ERROR_INIT_INIT" "init failed" "#ERROR_OPEN_WORLD_SCREEN" "no screen" >"$world/texts.txt"
  cp "$tile" "$world/tiles/tile.png" || return 1
  crlf worldFTileTransparency 255 worldFTileIDString TILE animContainer NOPE \
    ";tile descriptor of the frame-rate benchmarks" ";end" >"$world/tiles/tile.dll"
  awk -v n="$n" -v s="$size" -v w="$w" -v h="$h" 'BEGIN {
    printf "0\r\n0\r\n"; r = 12345
    for (i = 0; i < n; i++) {
      if (i == 0) { x = 0; y = 0 }
      else { r = (r * 16807) % 2147483647; x = r % (w - s + 1); r = (r * 16807) % 2147483647; y = r % (h - s + 1) }
      printf "TILE\r\ntile\r\n0\r\n%d\r\n%d\r\n%d\r\n%d\r\n0\r\n", x, y, s, s
    }
    printf "ENGINETILEINFOEND\r\n" }' >"$world/maps/LVL0.dll"
}
