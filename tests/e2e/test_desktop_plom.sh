#!/usr/bin/env bash
# plom on a 1920x1080 desktop with a window manager (openbox): the main window covers the
# desktop and the tool windows take a quarter of it; a click on the map leaves both tool
# windows above it (their menu bars stay on screen), and they come back with the main window
# when it is minimised and restored; keys act by their place on the keyboard
# under another layout (Dvorak: the key in the place of U undoes, the key labelled U does not);
# the menu still quits the builder with exit code 0.
E2E_SCREEN=1920x1080x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
e2e_start_wm
plom_start
plom_wait_windows
W=$E2E_WORLD
PLOM_REST_X=1700
PLOM_REST_Y=1000
e2e_geometry "$PLOM_MAIN"
[ "$X $Y $WIDTH $HEIGHT" = "0 0 1920 1080" ] || e2e_fail "the main window is at ($X,$Y) ${WIDTH}x${HEIGHT}"
for id in "$PLOM_TILES" "$PLOM_DNA"; do
  e2e_geometry "$id"
  # A quarter of the desktop, with the 25-pixel menu bar above it.
  [ "$WIDTH $HEIGHT" = "480 295" ] || e2e_fail "a tool window is ${WIDTH}x${HEIGHT}, expected 480x295"
done

# The menu bars of both tool windows, before and after a click on the map.
menu_bars() {
  local id
  for id in "$PLOM_TILES" "$PLOM_DNA"; do
    e2e_geometry "$id"
    echo "$X $Y $WIDTH 20"
  done
}
bars=$(menu_bars)
sleep 1
e2e_screenshot "$E2E_WORK/before-click.png"
plom_click "$PLOM_REST_X" "$PLOM_REST_Y"  # places the selected tile: the first snapshot
e2e_wait_for_file_text "$W/USER/UNDO_0" ENGINETILEINFOEND 5 || e2e_fail "the click on the map placed nothing"
sleep 1
# bars_shown WHEN: both menu bars look as they did before the click.
bars_shown() {
  e2e_screenshot "$E2E_WORK/$1.png"
  while read -r x y w h; do
    e2e_same_area "$E2E_WORK/before-click.png" "$E2E_WORK/$1.png" "$x" "$y" "$w" "$h" ||
      e2e_fail "the menu bar at ($x,$y) is not on screen ($1)"
  done <<<"$bars"
}
bars_shown after-click
xdotool windowminimize "$PLOM_MAIN"
sleep 1
xdotool windowactivate "$PLOM_MAIN"
sleep 1
bars_shown after-restore
e2e_log "both tool windows stay above the map after a click on it, and come back with it"

# Keys by place: crates in free cursor mode on layer 2, then the Dvorak layout.
base=$(plom_tile_records "$W/USER/UNDO_0")
plom_pick_tile "$(plom_tile_index crate)"
plom_toggle_tool_windows hidden
plom_keys Page_Up c
n=1
place_crate() {  # place_crate X RECORDS: one crate, and the snapshot it writes holds RECORDS
  plom_click "$1" 700
  e2e_wait_for_file_text "$W/USER/UNDO_$n" ENGINETILEINFOEND 5 || e2e_fail "no undo snapshot UNDO_$n"
  local got
  got=$(plom_tile_records "$W/USER/UNDO_$n")
  [ "$got" -eq "$2" ] || e2e_fail "UNDO_$n holds $got TILE records, expected $2 ($3)"
  n=$((n + 1))
}
place_crate 500 $((base + 1)) "first crate"
place_crate 564 $((base + 2)) "second crate"
setxkbmap dvorak || e2e_fail "setxkbmap could not switch to the Dvorak layout"
plom_keys g  # Dvorak's G lies where a US keyboard has U: one step back, to the first crate
place_crate 628 $((base + 2)) "after the key in the place of U: one crate undone"
plom_keys u  # Dvorak's U lies where a US keyboard has F, which does nothing
place_crate 692 $((base + 3)) "after the key labelled U: nothing undone"
setxkbmap us
e2e_log "the key in the place of U undoes under Dvorak; the key labelled U does not"

plom_toggle_tool_windows shown
plom_quit
e2e_pass
