#!/usr/bin/env bash
# "Refresh Tiles?" in a new world: "Import Tile..." makes a JPEG picture a tile type of its own
# (a PNG graphic and a descriptor from the template in GFX/), selected at once: placed and saved,
# the map holds it. A graphic and descriptor added from outside show in the tile window after
# "Refresh"; a type removed from outside keeps its tiles in the map, which a save writes back.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
E2E_WORLD=$E2E_WORK/mine
W=$E2E_WORLD
"$TASKO" --new-world "$W" >"$E2E_WORK/new.txt" 2>&1 || e2e_fail "tasko --new-world failed: $(cat "$E2E_WORK/new.txt")"
cp "$SOURCE_DIR/tests/data/crate.jpg" "$W/lava.jpg"
plom_start
plom_wait_windows

# Import: "Refresh Tiles?" is the third title, "Import Tile..." its second item.
plom_menu 2 2
e2e_wait_window '^MAP-BUILDER: Import Tile:$' 10
e2e_geometry "$E2E_WINDOW"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
sleep 0.3
xdotool key End
xdotool type --delay 40 "lava.jpg"
xdotool key Return
e2e_wait_no_window '^MAP-BUILDER: Import Tile:$' 5 || e2e_fail "the import requester is still open"
e2e_wait_for_file_text "$W/GFX/lava.dll" worldFTileCollision 5 || e2e_fail "no descriptor GFX/lava.dll was written"
[ "$(identify -format %m "$W/GFX/lava.png" 2>/dev/null)" = PNG ] || e2e_fail "GFX/lava.png is not a PNG graphic"
cmp -s <(tr -d '\r' <"$W/GFX/lava.dll" | grep -v '^;') <(tr -d '\r' <"$W/_DATA/DNA.dll" | grep -v '^;') ||
  e2e_fail "the descriptor's pairs differ from the template's"
e2e_wait_window '^DNA for Tile: .*/GFX/lava File:lava$' 5
e2e_screenshot "$E2E_WORK/imported.png"

# The imported type is selected: a click on the map places it, and a saved map holds it.
before=$(tr -d '\r' <"$W/1" | grep -cx lava)
plom_keys c
plom_click 900 700
e2e_wait_for_file_text "$W/USER/UNDO_0" lava 5 || e2e_fail "the click on the map placed no lava tile"
plom_save_as saved
e2e_wait_for_file_text "$W/saved" ENGINETILEINFOEND 5 || e2e_fail "no map file 'saved' was written"
[ "$(tr -d '\r' <"$W/saved" | grep -cx lava)" -eq $((before + 1)) ] || e2e_fail "the saved map holds no lava tile"
e2e_log "an imported JPEG became the tile type lava, placed and saved"

# Refresh shows a tile type added from outside: its thumbnail's colour in the tile window.
convert -size 32x32 'xc:rgb(250,40,200)' "$W/GFX/zpink.png"
cp "$W/_DATA/DNA.dll" "$W/GFX/zpink.dll"
plom_menu 2 1
sleep 1
e2e_screenshot "$E2E_WORK/refreshed.png"
e2e_geometry "$PLOM_TILES"
index=$(plom_tile_index zpink)
row=$(((WIDTH - 64) / 50 + 1))
got=$(e2e_box_rgb "$E2E_WORK/refreshed.png" $((X + 50 * (index % row) + 20)) $((Y + 25 + 50 * (index / row) + 20)) 8)
e2e_rgb_close "$got" "250 40 200" 8 || e2e_fail "thumbnail $index shows $got after Refresh, not the new graphic"
e2e_log "Refresh shows the new tile type zpink as thumbnail $index"

# A type removed from outside: its tiles stay in the map under their own name.
walls=$(tr -d '\r' <"$W/saved" | grep -cx wall)
[ "$walls" -gt 0 ] || e2e_fail "the new world's map has no wall to remove"
rm "$W/GFX/wall.png" "$W/GFX/wall.dll"
plom_menu 2 1
sleep 0.5
plom_save_as saved2
e2e_wait_for_file_text "$W/saved2" ENGINETILEINFOEND 5 || e2e_fail "no map file 'saved2' was written"
[ "$(tr -d '\r' <"$W/saved2" | grep -cx wall)" -eq "$walls" ] || e2e_fail "the wall tiles did not survive Refresh and a save"
grep -q "Refresh: $walls tile(s) named \"wall\"" "$E2E_WORK/plom-$E2E_RUNS.out" || e2e_fail "plom did not report the removed type"
e2e_log "the $walls wall tiles of a removed type survived Refresh and a save"
plom_quit
e2e_pass
