#!/usr/bin/env bash
# A whole editing session in plom on the demo world: pick a tile in the tile window, hide the
# tool windows, Page Up, place three tiles (three undo snapshots, each with one more TILE
# record), delete one with the right button, undo, save the map under a typed name, change a
# descriptor value and save it with SET DNA (its trailer stays), take a screenshot, quit.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
plom_start
plom_wait_windows
W=$E2E_WORLD
base=$(plom_tile_records "$W/1")

# The crate (64 x 64).
crate_index=$(plom_tile_index crate)
plom_pick_tile "$crate_index"
e2e_wait_window '^DNA for Tile: .*GFX/crate File:crate$' 5
plom_toggle_tool_windows hidden
plom_keys Page_Up c  # layer 2; raster mode 0: tiles go where the pointer is

n=0
for x in 500 564 628; do
  plom_click "$x" 700
  e2e_wait_for_file_text "$W/USER/UNDO_$n" ENGINETILEINFOEND 5 || e2e_fail "no undo snapshot UNDO_$n after click $((n + 1))"
  got=$(plom_tile_records "$W/USER/UNDO_$n")
  [ "$got" -eq $((base + n + 1)) ] || e2e_fail "UNDO_$n holds $got TILE records, expected $((base + n + 1))"
  n=$((n + 1))
done
plom_click 570 710 3  # the middle crate
e2e_wait_for_file_text "$W/USER/UNDO_3" ENGINETILEINFOEND 5 || e2e_fail "no snapshot after the delete"
[ "$(plom_tile_records "$W/USER/UNDO_3")" -eq $((base + 2)) ] || e2e_fail "the right click did not delete one tile"
plom_keys u  # back to UNDO_2: three crates again
[ ! -e "$W/USER/UNDO_4" ] || e2e_fail "undo wrote a snapshot"

plom_toggle_tool_windows shown
plom_save_as edited.map
e2e_wait_for_file_text "$W/edited.map" ENGINETILEINFOEND 5 || e2e_fail "no map file edited.map"
cmp -s "$W/edited.map" "$W/USER/UNDO_2" || e2e_fail "the saved map differs from the snapshot the undo read"
tail_got=$(tr -d '\r' <"$W/edited.map" | tail -n 25 | paste -s -d ' ')
c=$crate_index
tail_want="TILE crate $c 500 700 64 64 2 TILE crate $c 564 700 64 64 2 TILE crate $c 628 700 64 64 2 ENGINETILEINFOEND"
[ "$tail_got" = "$tail_want" ] || e2e_fail "the saved map ends with '$tail_got', expected '$tail_want'"

# The descriptor window still shows the crate's rows: the first value becomes 77.
cp "$W/GFX/crate.dll" "$E2E_WORK/crate-before.dll"
plom_set_first_value 77
tries=0
until [ "$(tr -d '\r' <"$W/GFX/crate.dll" | sed -n 2p)" = 77 ]; do
  [ "$tries" -lt 50 ] || e2e_fail "crate.dll's first value is not 77 after SET DNA"
  sleep 0.1
  tries=$((tries + 1))
done
[ "$(sed -n 1p "$W/GFX/crate.dll")" = "$(sed -n 1p "$E2E_WORK/crate-before.dll")" ] || e2e_fail "the first key changed"
# The builder writes its own eight comment lines after the pairs (the engine skips them).
[ "$(tail -n 8 "$W/GFX/crate.dll" | grep -c '^;')" -eq 8 ] && [ "$(sed -n '$=' "$W/GFX/crate.dll")" -eq "$(sed -n '$=' "$E2E_WORK/crate-before.dll")" ] ||
  e2e_fail "the saved descriptor does not end with the eight trailer lines after all its pairs"

# "Tools:" -> "Save MiniMap (Screenshot)": a PNG file named by a millisecond count.
plom_menu 4 2
tries=0
until shot=$(ls "$W" | grep -E '^[0-9]+$' | grep -vx 1 | head -n 1) && [ -n "$shot" ]; do
  [ "$tries" -lt 50 ] || e2e_fail "no screenshot file appeared"
  sleep 0.1
  tries=$((tries + 1))
done
sleep 0.5
identify "$W/$shot" | grep -q " PNG 1279x1023 " || e2e_fail "the screenshot $shot is not a 1279x1023 PNG: $(identify "$W/$shot" 2>&1)"

plom_quit
e2e_pass
