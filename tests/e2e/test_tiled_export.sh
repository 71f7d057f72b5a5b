#!/usr/bin/env bash
# plom --export-tiled writes the demo map as a Tiled map that Tiled itself opens (tiled
# --export-map to JSON keeps every layer and object), that tasko --import-tiled brings back as the
# same map file (also after Tiled re-saved it), and that tmxrasterizer draws as plom draws
# the same map: the screenshot of plom's map (tool windows hidden) against tmxrasterizer's PNG,
# pixel by pixel. Left out of the comparison, as rectangles on both pictures: plom's screen log,
# its grid dots and cursor corner, and the tiles whose descriptors ask for an opacity or a
# blending that Tiled's tile objects cannot carry. Then the same through plom's menu: "Export
# Tiled Map..." and "Import Tiled Map..." of that file. Skipped when Tiled is not installed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

command -v tmxrasterizer >/dev/null 2>&1 || e2e_skip "tmxrasterizer (Debian package tiled) is not installed"
command -v tiled >/dev/null 2>&1 || e2e_skip "tiled is not installed"

e2e_begin
W=$E2E_WORLD
OUT=$E2E_WORK/export
mkdir -p "$OUT"

# A failing export: a directory that does not exist, one line on standard error, nothing written.
(cd "$W" && "$PLOM" --export-tiled "$OUT/none/demo.tmx") >"$E2E_WORK/export-bad.out" 2>&1
code=$?
[ "$code" -eq 1 ] || e2e_fail "an export into a missing directory ended with $code instead of 1"
grep -q "none/demo.tmx" "$E2E_WORK/export-bad.out" || e2e_fail "the failed export does not name its file: $(cat "$E2E_WORK/export-bad.out")"
[ ! -e "$OUT/none" ] || e2e_fail "the failed export left files behind"

# The export, from outside the world with the world named (a relative OUT is taken from here).
(cd "$E2E_WORK" && "$PLOM" --export-tiled export/demo.tmx "$W") >"$E2E_WORK/export.out" 2>&1 ||
  e2e_fail "plom --export-tiled failed: $(cat "$E2E_WORK/export.out")"
[ -s "$OUT/demo.tmx" ] || e2e_fail "no demo.tmx written"
records=$(plom_tile_records "$W/1")
layers=$(tr -d '\r' <"$W/1" | awk 'NR > 2 && (NR - 3) % 8 == 7 { print }' | sort -u | wc -l)
grep -q "^plom: $records tile(s) on $layers layer(s)" "$E2E_WORK/export.out" ||
  e2e_fail "the export's summary does not name $records tiles on $layers layers: $(cat "$E2E_WORK/export.out")"
e2e_log "exported $records tiles on $layers layers"

# Tiled opens it: re-saved as JSON by Tiled itself, with every layer and object.
timeout 60 tiled --export-map json "$OUT/demo.tmx" "$OUT/demo.json" >"$E2E_WORK/tiled.out" 2>&1 ||
  e2e_fail "tiled --export-map failed: $(cat "$E2E_WORK/tiled.out")"
json_objects=$(grep -c '"gid":' "$OUT/demo.json")
json_layers=$(grep -c '"type":"objectgroup"' "$OUT/demo.json")
[ "$json_objects" -eq "$records" ] || e2e_fail "Tiled read $json_objects tile objects, the map holds $records"
[ "$json_layers" -eq "$layers" ] || e2e_fail "Tiled read $json_layers object layers, the map uses $layers"

# The round trip through Tiled: the export, and Tiled's own re-save of it, import with tasko
# --import-tiled to the same map file, byte for byte. A second map adds tiles of a type the tile
# directory lacks (exported as a tile without image, which Tiled re-saves as an empty embedded one).
tr -d '\r' <"$W/1" | sed '$d' | { cat; printf 'TILE\nvanished\n41\n300\n200\n48\n40\n2\nENGINETILEINFOEND\n'; } |
  sed 's/$/\r/' >"$W/ghostmap"
(cd "$W" && "$PLOM" --export-tiled "$OUT/ghost.tmx" --map ghostmap) >"$E2E_WORK/export-ghost.out" 2>&1 ||
  e2e_fail "the export of ghostmap failed: $(cat "$E2E_WORK/export-ghost.out")"
grep -q '"vanished" has no graphic' "$E2E_WORK/export-ghost.out" || e2e_fail "the export does not name the type without graphic"
for pair in demo:1 ghost:ghostmap; do
  name=${pair%%:*}
  map=${pair#*:}
  timeout 60 tiled --export-map tmx "$OUT/$name.tmx" "$OUT/$name-resaved.tmx" >"$E2E_WORK/tiled-$name.out" 2>&1 ||
    e2e_fail "tiled could not re-save $name.tmx: $(cat "$E2E_WORK/tiled-$name.out")"
  for source in "$name" "$name-resaved"; do
    "$TASKO" --import-tiled "$OUT/$source.tmx" "$E2E_WORK/imported-$source" >"$E2E_WORK/import-$source.out" 2>&1 ||
      e2e_fail "tasko --import-tiled $source.tmx failed: $(cat "$E2E_WORK/import-$source.out")"
    cmp -s "$W/$map" "$E2E_WORK/imported-$source/MAPS/LVL0.dll" ||
      e2e_fail "$source.tmx imports to a map file that differs from $map"
  done
done
[ ! -e "$E2E_WORK/imported-ghost/GFX/vanished.png" ] || e2e_fail "the import wrote a graphic for the type without one"
e2e_log "the exports and Tiled's re-saves of them import to the same map files"

# tmxrasterizer draws it without a complaint.
QT_QPA_PLATFORM=offscreen tmxrasterizer "$OUT/demo.tmx" "$E2E_WORK/tiled.png" >"$E2E_WORK/rasterizer.out" 2>&1 ||
  e2e_fail "tmxrasterizer failed: $(cat "$E2E_WORK/rasterizer.out")"
if grep -v XDG_RUNTIME_DIR "$E2E_WORK/rasterizer.out" | grep -qi .; then
  e2e_fail "tmxrasterizer complained: $(cat "$E2E_WORK/rasterizer.out")"
fi

# plom's own picture of the same map.
plom_start
plom_wait_windows
plom_toggle_tool_windows hidden
xdotool mousemove 1279 1023
sleep 1
e2e_screenshot "$E2E_WORK/plom.png"

# The rectangles left out, as ImageMagick drawing commands: the screen log, the cursor corner
# (preview tile and label), and the tiles of types with an opacity other than 255, a postEFFECT,
# a stretch or the pattern flag (their placed rectangles, read from the map file).
masks=$E2E_WORK/masks.txt
{
  echo "rectangle 0,0 420,230"
  echo "rectangle 1200,950 1279,1023"
  for dll in "$W"/GFX/*.dll; do
    tr -d '\r' <"$dll" | awk -v name="$(basename "$dll" .dll)" '
      NR % 2 == 1 { key = $0; next }
      (key == "worldFTileTransparency" && $0 != "255") || (key == "postEFFECT" && $0 != "") ||
      (key == "worldFStretch" && $0 != "0") || (key == "worldFTilePattern" && $0 == "1") { print name; exit }'
  done >"$E2E_WORK/unlike.txt"
  tr -d '\r' <"$W/1" | awk 'NR == FNR { unlike[$0] = 1; next }
    FNR > 2 && (FNR - 3) % 8 == 1 { name = $0 }
    FNR > 2 && (FNR - 3) % 8 == 3 { x = $0 } FNR > 2 && (FNR - 3) % 8 == 4 { y = $0 }
    FNR > 2 && (FNR - 3) % 8 == 5 { w = $0 }
    FNR > 2 && (FNR - 3) % 8 == 6 { if (name in unlike) print "rectangle " x "," y " " x + w - 1 "," y + $0 - 1 }' \
    "$E2E_WORK/unlike.txt" -
  # The grid dots: one pixel at every crossing of the 32-pixel grid.
  for ((gx = 0; gx < 1280; gx += 32)); do
    for ((gy = 0; gy < 1024; gy += 32)); do echo "point $gx,$gy"; done
  done
} >"$masks"
e2e_log "left out: $(paste -s -d ' ' "$E2E_WORK/unlike.txt") and the builder's overlays"

# The map area: plom keeps 5-pixel strips free at the right and bottom.
for picture in plom tiled; do
  convert "$E2E_WORK/$picture.png" -background 'rgb(10,10,10)' -alpha remove -alpha off \
    -crop 1275x1019+0+0 +repage -fill magenta -draw "$(cat "$masks")" "$E2E_WORK/$picture-masked.png" ||
    e2e_fail "cannot mask $picture.png"
done
# Tiled draws nothing where plom clears to its background (10, 10, 10): the rasterizer's
# transparent pixels are put on that colour above. Pixels count as equal within 2 of 255 per
# channel; at most 0.01 % may differ (none did on llvmpipe).
differing=$(compare -metric AE -fuzz 1% "$E2E_WORK/plom-masked.png" "$E2E_WORK/tiled-masked.png" \
  "$E2E_WORK/difference.png" 2>&1 >/dev/null)
differing=${differing%%.*}
differing=${differing%% *}
total=$((1275 * 1019))
e2e_log "$differing of $total pixels differ"
[ -n "$differing" ] && [ "$differing" -le $((total / 10000)) ] ||
  e2e_fail "tmxrasterizer's picture of the export differs from plom's in $differing pixels (difference.png)"
plom_toggle_tool_windows shown

# plom_request TITLE NAME: types NAME after the directory a file requester shows.
plom_request() {
  e2e_wait_window "$1" 10
  e2e_geometry "$E2E_WINDOW"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.3
  xdotool key End
  xdotool type --delay 40 "$2"
  xdotool key Return
  e2e_wait_no_window "$1" 5 || e2e_fail "the requester '$1' is still open"
}

# The menu: "MAP" > "Export Tiled Map..." (its fourth item) writes the same map.
plom_menu 1 4
plom_request '^MAP-BUILDER: Export Tiled Map:$' menu.tmx
plom_answer_box '^MAP BUILDER: Export Tiled Map$' Return
[ -s "$W/menu.tmx" ] || e2e_fail "the menu's export wrote no menu.tmx"
[ "$(grep -c '<object ' "$W/menu.tmx")" -eq "$records" ] || e2e_fail "menu.tmx does not hold $records tile objects"

# "MAP" > "Import Tiled Map..." (the fifth) reads it back as the edited map: the names exist, so
# a Yes/No box asks first; the map comes in as USER/_TILEDMAP with one more undo snapshot.
plom_menu 1 5
plom_request '^MAP-BUILDER: Import Tiled Map:$' menu.tmx
plom_answer_box '^MAP BUILDER: Import Tiled Map$' y
plom_answer_box '^MAP BUILDER: Import Tiled Map$' Return
e2e_wait_for_file_text "$W/USER/_TILEDMAP" ENGINETILEINFOEND 5 || e2e_fail "the import wrote no USER/_TILEDMAP"
e2e_wait_for_file_text "$W/USER/UNDO_0" ENGINETILEINFOEND 5 || e2e_fail "the import took no undo snapshot"
[ "$(plom_tile_records "$W/USER/UNDO_0")" -eq "$records" ] ||
  e2e_fail "the imported map holds $(plom_tile_records "$W/USER/UNDO_0") tiles instead of $records"
plom_quit
e2e_pass
