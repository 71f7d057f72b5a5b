#!/usr/bin/env bash
# Tiled's own example maps, imported with tasko --import-tiled and played by tasko, look as
# tmxrasterizer draws them: the screen's top-left 1280 x 1023 pixels equal tmxrasterizer's
# picture, 128 x 128 region by region, every channel within 2 of 255 (the import writes a pure
# white pixel one step off white, which the engine would make transparent, and a layer's opacity
# becomes a whole 0..255 value). The engine's frame-rate text and its one-pixel bottom bar are
# masked out on both sides; tmxrasterizer draws with --no-smoothing (nearest pixels, as the engine)
# a copy of the map without its shape objects (which the import leaves out). A map of flipped tiles (every combination of the three flags) looks as
# Tiled draws it; the cursor keys scroll the view; the same maps re-saved by Tiled in every other
# layer format (and with the tilesets embedded) import to the same map file byte for byte; maps that
# cannot be read are refused with one line and leave nothing behind.
# Skips (exit code 77) when tiled or tmxrasterizer is not installed.
source "$(dirname "$0")/lib.sh"

for tool in tiled tmxrasterizer python3 zstd; do
  command -v "$tool" >/dev/null 2>&1 || { echo "[$E2E_NAME] SKIP: $tool is not installed"; exit 77; }
done
EXAMPLES=${TILED_EXAMPLES:-/usr/share/doc/tiled/examples}
[ -f "$EXAMPLES/desert.tmx" ] || { echo "[$E2E_NAME] SKIP: Tiled's examples are not in $EXAMPLES"; exit 77; }
REENCODE=$SOURCE_DIR/tests/e2e/tiled/reencode.py

e2e_begin
export QT_QPA_PLATFORM=offscreen
EX=$E2E_WORK/examples
cp -R "$EXAMPLES" "$EX" || e2e_fail "cannot copy Tiled's examples"

# The orthogonal examples that tmxrasterizer can draw (the sticker-knight maps name a tileset
# the package does not ship; tasko refuses them as well, which the unit tests cover).
MAPS="desert.tmx rpg/island.tmx sewers.tmx perspective_walls.tmx orthogonal-outside.tmx.gz sewer_automap/sewers.tmx"
for rule in "$EX"/sewer_automap/rule_*.tmx; do MAPS="$MAPS sewer_automap/$(basename "$rule")"; done

# A map of flipped tiles on Tiled's desert sheet: each row one tile under the eight flag sets.
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<map version="1.8" orientation="orthogonal" renderorder="right-down" width="8" height="4" tilewidth="32" tileheight="32" infinite="0">'
  echo ' <tileset firstgid="1" source="desert.tsx"/>'
  echo ' <layer id="1" name="flips" width="8" height="4"><data encoding="csv">'
  rows=()
  for tile in 1 10 31 45; do
    row=()
    for flags in 0 1 2 3 4 5 6 7; do row+=($(( (flags << 29) + tile ))); done
    rows+=("$(IFS=,; echo "${row[*]}")")
  done
  (IFS=$'\n'; echo "${rows[*]}" | sed '$!s/$/,/')
  echo ' </data></layer>'
  echo '</map>'
} >"$EX/flips.tmx"
MAPS="flips.tmx $MAPS"

# mask_and_frame IN OUT: the top-left 1280 x 1024 on black, the frame-rate text's box and the
# bottom row painted black.
mask_and_frame() {
  convert "$1" -background black -alpha remove -alpha off -extent 1280x1024 -fill black \
    -draw 'rectangle 1140,912 1279,940' -draw 'rectangle 0,1023 1279,1023' "$2"
}

# differing_regions A B: how many 128 x 128 regions hold a pixel whose channels differ by more than 2.
differing_regions() {
  convert "$1" "$2" -compose difference -composite -separate -evaluate-sequence max \
    -threshold 1% -filter box -resize 10x8! -format '%c' histogram:info:- |
    awk '!/gray\(0\)|#000000/ {n += $1} END {print n + 0}'
}

T=$E2E_WORK  # pictures beside the other files, kept on failure
for map in $MAPS; do
  name=$(echo "$map" | tr '/.' '__')
  world=$E2E_WORK/world-$name
  "$TASKO" --import-tiled "$EX/$map" "$world" >"$T/$name.import" 2>&1 ||
    e2e_fail "tasko --import-tiled $map failed: $(cat "$T/$name.import")"
  source=$EX/$map
  if [[ $map == *.gz ]]; then
    source=${source%.gz}
    gunzip -c "$EX/$map" >"$source"
  fi
  # tmxrasterizer outlines shape objects, which the import leaves out: it draws a copy of the
  # map without them, with nearest-pixel sampling as the engine draws.
  drawn=$(python3 -c '
import sys, xml.etree.ElementTree as ET
tree = ET.parse(sys.argv[1])
shapes = 0
for group in tree.getroot().iter("objectgroup"):
    for shape in [o for o in group.findall("object") if o.get("gid") is None]:
        group.remove(shape)
        shapes += 1
if shapes:
    tree.write(sys.argv[2], encoding="UTF-8", xml_declaration=True)
    print(sys.argv[2])
else:
    print(sys.argv[1])' "$source" "${source%.tmx}-without-shapes.tmx")
  [ "$drawn" = "$source" ] || e2e_log "$map: tmxrasterizer draws it without its shape objects"
  tmxrasterizer --no-smoothing "$drawn" "$T/$name-tiled.png" >"$T/$name.raster" 2>&1 ||
    e2e_fail "tmxrasterizer could not draw $map: $(cat "$T/$name.raster")"
  mask_and_frame "$T/$name-tiled.png" "$T/$name-want.png"
  E2E_WORLD=$world
  # The pointer waits on the masked bottom row: off the map the engine marks its spot.
  xdotool mousemove 1279 1023
  e2e_start_tasko
  e2e_wait_world_window
  for attempt in $(seq 15); do
    e2e_screenshot "$T/$name-shot.png"
    mask_and_frame "$T/$name-shot.png" "$T/$name-got.png"
    bad=$(differing_regions "$T/$name-want.png" "$T/$name-got.png")
    [ "$bad" -eq 0 ] && break
    sleep 1
  done
  [ "$bad" -eq 0 ] || e2e_fail "$map: $bad of 80 regions of tasko's screen differ from tmxrasterizer's picture (see $name-*.png)"
  e2e_log "$map: all 80 regions equal tmxrasterizer's picture"
  if [ "$map" = desert.tmx ]; then
    # Left and Down held: the picture moves one pixel per frame left and up (the view travels
    # right and down over the map), and the screen still shows the map as Tiled draws it.
    xdotool mousemove 640 512 keydown Left keydown Down
    sleep 1.5
    xdotool keyup Left keyup Down mousemove 1279 1023
    sleep 0.5
    e2e_screenshot "$T/scrolled.png"
    mask_and_frame "$T/scrolled.png" "$T/scrolled-got.png"
    [ "$(differing_regions "$T/$name-got.png" "$T/scrolled-got.png")" -gt 40 ] ||
      e2e_fail "holding the cursor keys did not move the view"
    shift=$(python3 "$SOURCE_DIR/tests/e2e/tiled/find_shift.py" "$T/$name-tiled.png" "$T/scrolled.png" 500)
    [ -n "$shift" ] || e2e_fail "the scrolled screen is not the map moved left and up by under 500 pixels"
    read -r dx dy <<<"$shift"
    [ "$dx" -gt 0 ] && [ "$dy" -gt 0 ] || e2e_fail "the view moved by $dx, $dy pixels, not right and down"
    e2e_log "desert.tmx: the cursor keys scrolled the view by $dx pixels right and $dy down"
  fi
  e2e_quit_engine
done

# Re-saved by Tiled in every other layer format: the same map file.
for map in desert.tmx rpg/island.tmx sewers.tmx perspective_walls.tmx orthogonal-outside.tmx; do
  name=$(echo "$map" | tr '/.' '__')
  dir=$(dirname "$EX/$map")
  [ -f "$EX/$map" ] || gunzip -c "$EX/$map.gz" >"$EX/$map"
  reference=$E2E_WORK/world-$name
  [ -d "$reference" ] || reference=$E2E_WORK/world-${name}_gz
  for format in xml csv base64 base64-zlib base64-gzip base64-zstd embedded; do
    copy=$dir/$format-$(basename "$map")
    saved=$dir/saved-$format-$(basename "$map")
    if [ "$format" = embedded ]; then
      tiled --export-map tmx --embed-tilesets "$EX/$map" "$saved" >"$T/export.out" 2>&1
    else
      python3 "$REENCODE" "$EX/$map" "$copy" "$format" || e2e_fail "could not rewrite $map as $format"
      tiled --export-map tmx "$copy" "$saved" >"$T/export.out" 2>&1
    fi
    [ -s "$saved" ] || e2e_fail "tiled --export-map wrote nothing for $map ($format): $(cat "$T/export.out")"
    if [ "$format" = embedded ]; then
      ! grep -q 'tileset firstgid="[0-9]*" source=' "$saved" || e2e_fail "tiled kept an external tileset in $saved"
    else
      grep -q "<data encoding=\"${format%%-*}\"" "$saved" || [ "$format" = xml ] ||
        e2e_fail "Tiled did not keep the $format layer format in $saved"
    fi
    world=$E2E_WORK/resaved-$name-$format
    "$TASKO" --import-tiled "$saved" "$world" >"$T/resaved.out" 2>&1 ||
      e2e_fail "importing $map re-saved as $format failed: $(cat "$T/resaved.out")"
    cmp -s "$reference/MAPS/LVL0.dll" "$world/MAPS/LVL0.dll" ||
      e2e_fail "$map re-saved by Tiled as $format imports to a different map file"
    rm -rf "$world"
  done
  e2e_log "$map: re-saved by Tiled as xml, csv, base64 (none, zlib, gzip, zstd) and embedded: the same map file"
done

# Refusals from the command line: one line naming the file and what is wrong, exit code 2, and
# no world directory (nor a staging one beside it).
printf '<map orientation="orthogonal" width="2"><layer>' >"$EX/broken.tmx"
for refused in "isometric_grass_and_water.tmx:the isometric orientation is not read" \
  "isometric_staggered_grass_and_water.tmx.gz:the staggered orientation is not read" \
  "hexagonal-mini.tmx:the hexagonal orientation is not read" \
  "sticker-knight/map/sandbox.tmx.gz:objs.tsx' is missing" \
  "broken.tmx:broken.tmx:1: not a Tiled file"; do
  map=${refused%%:*}
  expected=${refused#*:}
  "$TASKO" --import-tiled "$EX/$map" "$E2E_WORK/refused-world" >"$T/refusal.txt" 2>&1
  code=$?
  [ "$code" -eq 2 ] || e2e_fail "importing $map ended with exit code $code instead of 2"
  grep -qF -- "$expected" "$T/refusal.txt" || e2e_fail "importing $map said: $(cat "$T/refusal.txt")"
  [ "$(wc -l <"$T/refusal.txt")" -eq 1 ] || e2e_fail "importing $map said more than one line: $(cat "$T/refusal.txt")"
  ! ls -d "$E2E_WORK"/refused-world* >/dev/null 2>&1 || e2e_fail "importing $map left $(ls -d "$E2E_WORK"/refused-world*)"
done
e2e_log "isometric, staggered, hexagonal, a missing tileset and broken XML: one line each, exit code 2, nothing written"

e2e_pass
