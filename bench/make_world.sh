#!/usr/bin/env bash
# make_world.sh - writes a benchmark world of N moving objects for tasko.
#
# Usage: make_world.sh DIR N [SIZE]     (SIZE px tiles, default 32; screen 1280x1024)
#
# DIR gets a complete world (CORE/ini.crc, codecs, texts, tiles/, maps/LVL0.dll, anim/) that
# tasko runs in (cd DIR && tasko), plus DIR/tile.png, the plain tile for a peer program.
# The objects, all inside the 1280x1024 screen at scale 1, are drawn from a fixed seed:
#   - walls (WALL_SHARE %, default 5): static colliders (worldFTileCollision 1, speed 0), a
#     frame of them along the screen's edges first, the rest at random spots;
#   - colliders (COLLIDER_SHARE %, default 25): moving objects with worldFTileCollision 1;
#   - movers: the rest, moving without collision.
# Moving objects get one of the 8 directions (worldFTileMoveH/MoveV -1, 0, 1) and one of the
# speeds 1..MAX_SPEED pixels per frame (worldFTileVELO; default 4), each drawn at random per
# object; since behaviour comes from the tile kind, every (picture, direction, speed,
# collision) combination that occurs is a tile kind of its own. KINDS pictures (default 4,
# at most 8: a semi-transparent square of its own colour with an opaque orange disc and a fully
# transparent corner block, as frame_ratio.sh's tile) are used in turn; ANIM_SHARE % of the
# moving objects (default 10) are animated with 4 frames per direction (animContainer SPIN).
# The map keeps each object's tile size; all objects are on layer 0, object 0 is at (0, 0)
# (the view origin: no MAPSTART). MAXOBJECTS is N + 16. Prints the counts of each share.
# Needs ImageMagick (convert) and awk.
set -euo pipefail

DIR=${1:?usage: make_world.sh DIR N [SIZE]}
N=${2:?usage: make_world.sh DIR N [SIZE]}
SIZE=${3:-32}
WALL_SHARE=${WALL_SHARE:-5}
COLLIDER_SHARE=${COLLIDER_SHARE:-25}
ANIM_SHARE=${ANIM_SHARE:-10}
KINDS=${KINDS:-4}
MAX_SPEED=${MAX_SPEED:-4}
SEED=${SEED:-12345}
SCREEN_W=1280
SCREEN_H=1024

die() { echo "make_world: error: $*" >&2; exit 1; }
[[ $N =~ ^[0-9]+$ && $N -ge 1 ]] || die "N must be a positive integer (got '$N')"
[[ $SIZE =~ ^[0-9]+$ && $SIZE -ge 4 && $SIZE -le 512 ]] || die "SIZE must be 4..512 (got '$SIZE')"
[[ $KINDS =~ ^[1-8]$ ]] || die "KINDS must be 1..8 (got '$KINDS')"
for share in "$WALL_SHARE" "$COLLIDER_SHARE" "$ANIM_SHARE"; do
  [[ $share =~ ^[0-9]+$ && $share -le 100 ]] || die "shares are whole percentages 0..100"
done
[[ $MAX_SPEED =~ ^[0-9]+$ && $MAX_SPEED -ge 1 ]] || die "MAX_SPEED must be a positive integer"
CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || CONVERT=$(command -v convert) || die "missing ImageMagick convert"

crlf() { printf '%s\r\n' "$@"; }
mkdir -p "$DIR/CORE" "$DIR/LOG" "$DIR/tiles" "$DIR/maps" "$DIR/snd" "$DIR/anim"
crlf SYSTEMTEXT texts.txt CODECS codecs.txt ERRORPATH LOG/err.txt WARNINGS LOG/warn.txt \
  MULTITASK 0 GRIDSIZE 32 MATRIXSIZE 8 MAXOBJECTS $((N + 16)) SIMCORE maps/ \
  SOURCEWIDTH $SCREEN_W SOURCEHEIGHT $SCREEN_H GFX tiles/ APPENTRY 0 SOUNDPATH snd/ \
  ANIMSYSTEM anim/ MAXANIMFRAMES 4 >"$DIR/CORE/ini.crc"
crlf GFXCODEC - .png - SOUNDCODEC - .wav - >"$DIR/codecs.txt"
crlf "#ERROR_INIT_INIT" "init failed" "#ERROR_OPEN_WORLD_SCREEN" "no screen" >"$DIR/texts.txt"

# picture FILE COLOUR: the tile picture in one square colour.
picture() {
  "$CONVERT" -size "${SIZE}x${SIZE}" xc:"$2" -fill 'rgba(230,120,30,1)' \
    -draw "circle $((SIZE / 2)),$((SIZE / 2)) $((SIZE / 2)),$((SIZE / 5))" \
    \( -size "$((SIZE / 4))x$((SIZE / 4))" xc:'rgba(255,0,255,0)' \) -geometry +0+0 \
    -compose copy -composite PNG32:"$1" || die "convert failed to make $1"
}
COLOURS=('rgba(40,90,200,0.5)' 'rgba(40,180,60,0.5)' 'rgba(200,40,160,0.5)' 'rgba(220,210,40,0.5)'
  'rgba(30,190,200,0.5)' 'rgba(120,60,20,0.5)' 'rgba(160,160,160,0.5)' 'rgba(90,40,200,0.5)')
PICTURES=$DIR/pictures
mkdir -p "$PICTURES"
for ((k = 0; k < KINDS; k++)); do picture "$PICTURES/p$k.png" "${COLOURS[$k]}"; done
cp "$PICTURES/p0.png" "$DIR/tile.png"
picture "$PICTURES/wall.png" 'rgba(90,90,90,1)'
# Animation frames: the first picture turned a quarter per frame, the same in all four folders.
for folder in LEFT RIGHT UP DOWN; do
  mkdir -p "$DIR/anim/SPIN/$folder"
  for frame in 1 2 3 4; do
    "$CONVERT" "$PICTURES/p0.png" -rotate $(((frame - 1) * 90)) PNG32:"$DIR/anim/SPIN/$folder/$frame.png" ||
      die "convert failed to make an animation frame"
  done
done

# The map and the list of tile kinds it uses; the kinds' files are written below.
awk -v n="$N" -v s="$SIZE" -v w="$SCREEN_W" -v h="$SCREEN_H" -v seed="$SEED" \
  -v walls="$WALL_SHARE" -v colliders="$COLLIDER_SHARE" -v anim="$ANIM_SHARE" \
  -v kinds="$KINDS" -v maxspeed="$MAX_SPEED" -v map="$DIR/maps/LVL0.dll" -v list="$DIR/kinds.txt" '
  function rnd(m) { r = (r * 16807) % 2147483647; return r % m }
  function record(name, x, y) { printf "TILE\r\n%s\r\n0\r\n%d\r\n%d\r\n%d\r\n%d\r\n0\r\n", name, x, y, s, s > map }
  BEGIN {
    r = seed; nwalls = int(n * walls / 100); ncoll = int(n * colliders / 100)
    printf "0\r\n0\r\n" > map
    # A frame of walls along the edges, as many as the wall share allows, then the rest inside.
    placed = 0
    for (x = 0; x < w - s + 1 && placed < nwalls; x += s) { record("wall", x, 0); placed++ }
    for (x = 0; x < w - s + 1 && placed < nwalls; x += s) { record("wall", x, h - s); placed++ }
    for (y = s; y < h - 2 * s + 1 && placed < nwalls; y += s) { record("wall", 0, y); placed++ }
    for (y = s; y < h - 2 * s + 1 && placed < nwalls; y += s) { record("wall", w - s, y); placed++ }
    while (placed < nwalls) { record("wall", rnd(w - s + 1), rnd(h - s + 1)); placed++ }
    used["wall"] = 1; count["wall"] = nwalls
    for (i = nwalls; i < n; i++) {
      if (i == 0) { x = 0; y = 0 } else { x = rnd(w - s + 1); y = rnd(h - s + 1) }
      do { dh = rnd(3) - 1; dv = rnd(3) - 1 } while (dh == 0 && dv == 0)
      speed = 1 + rnd(maxspeed)
      coll = (i - nwalls < ncoll) ? 1 : 0
      animated = rnd(100) < anim ? 1 : 0
      name = sprintf("m%d_%d_%d_%d_%d_%d", i % kinds, dh + 1, dv + 1, speed, coll, animated)
      record(name, x, y)
      if (!(name in used)) { used[name] = 1 }
      count[coll ? "colliders" : "movers"]++; if (animated) count["animated"]++
    }
    printf "ENGINETILEINFOEND\r\n" > map
    for (name in used) print name > list
    printf "make_world: %d objects: %d walls, %d moving colliders, %d movers (%d animated)\n", \
      n, nwalls, count["colliders"], count["movers"], count["animated"] > "/dev/stderr"
  }' || die "cannot write the map"

# One picture and one descriptor per tile kind.
descriptor() { # FILE COLLISION VELO MOVEH MOVEV ANIM
  crlf worldFTileTransparency 255 worldFTileCollision "$2" worldFTileVELO "$3" \
    worldFTileMoveH "$4" worldFTileMoveV "$5" worldFTileIDString BENCH animContainer "$6" \
    ";tile descriptor of make_world.sh" ";benchmark world" ";for the tasko engine" \
    ";DO NOT CHANGE THIS FILE BY HAND!!!" ";YOU MAY ENCOUNTER DATALOSS/MALFUNCTIONS" \
    ";ALWAYS USE THE PLOM-MAP-BUILDER TO CREATE VALID MAP AND DNA DATAS!" ";written by" ";end" >"$1"
}
kinds=0
while read -r name; do
  kinds=$((kinds + 1))
  if [ "$name" = wall ]; then
    cp "$PICTURES/wall.png" "$DIR/tiles/wall.png"
    descriptor "$DIR/tiles/wall.dll" 1 0 0 0 NOPE
    continue
  fi
  IFS=_ read -r picture dh dv speed coll animated <<<"${name#m}"
  ln -f "$PICTURES/p$picture.png" "$DIR/tiles/$name.png" 2>/dev/null ||
    cp "$PICTURES/p$picture.png" "$DIR/tiles/$name.png"
  anim=NOPE
  [ "$animated" = 1 ] && anim=SPIN
  descriptor "$DIR/tiles/$name.dll" "$coll" "$speed" $((dh - 1)) $((dv - 1)) "$anim"
done <"$DIR/kinds.txt"
echo "make_world: $kinds tile kinds in $DIR/tiles" >&2
