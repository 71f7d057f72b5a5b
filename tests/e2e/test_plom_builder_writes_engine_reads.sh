#!/usr/bin/env bash
# Builder writes, engine reads: in plom a new map is made for the demo world (the MAPSTART
# marker at the top-left corner, two floor tiles), saved as the engine's area 0 (MAPS/LVL0.dll)
# through the save requester; tasko then loads that map and shows the two floor tiles where
# they were placed, and nothing of the old demo map.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
plom_start
plom_wait_windows
W=$E2E_WORLD

plom_menu 1 2  # "MAP" -> "New MAP"
plom_answer_box '^MAP BUILDER ERROR:$' y

# Demo tile types: floor (128 x 128) and mapstart (32 x 32), by their library index.
floor_index=$(plom_tile_index floor)
mapstart_index=$(plom_tile_index mapstart)
place() {  # place TYPE X Y...: picks the type, hides the tool windows, clicks, shows them again
  local type=$1
  shift
  plom_pick_tile "$type"
  plom_toggle_tool_windows hidden
  plom_keys c
  while [ $# -gt 0 ]; do
    plom_click "$1" "$2"
    shift 2
  done
  plom_toggle_tool_windows shown
}
place "$mapstart_index" 0 0
place "$floor_index" 256 256 640 512
plom_save_as MAPS/LVL0.dll
want=$(printf '%s\n' 0 0 TILE mapstart "$mapstart_index" 0 0 32 32 1 TILE floor "$floor_index" 256 256 128 128 1 \
  TILE floor "$floor_index" 640 512 128 128 1 ENGINETILEINFOEND)
tries=0
until [ "$(tr -d '\r' <"$W/MAPS/LVL0.dll")" = "$want" ]; do
  [ "$tries" -lt 50 ] || e2e_fail "MAPS/LVL0.dll is not the map built: $(tr -d '\r' <"$W/MAPS/LVL0.dll" | paste -s -d ' ')"
  sleep 0.1
  tries=$((tries + 1))
done
plom_quit

e2e_start_tasko
e2e_wait_world_window
floor=$(e2e_box_rgb "$W/GFX/floor.png" 48 32 "$E2E_PROBE_SIZE")
start=$SECONDS
while :; do
  shot=$E2E_WORK/tasko-shot.png
  e2e_screenshot "$shot"
  a=$(e2e_box_rgb "$shot" $((256 + 48)) $((256 + 32)) "$E2E_PROBE_SIZE")
  b=$(e2e_box_rgb "$shot" $((640 + 48)) $((512 + 32)) "$E2E_PROBE_SIZE")
  # Where the demo map had its floor and crates, the new map has nothing.
  empty=$(e2e_box_rgb "$shot" 560 160 "$E2E_PROBE_SIZE")
  if e2e_rgb_close "$a" "$floor" 6 && e2e_rgb_close "$b" "$floor" 6 && ! e2e_rgb_close "$empty" "$floor" 30; then
    break
  fi
  [ $((SECONDS - start)) -lt 20 ] ||
    e2e_fail "tasko does not show the built map: floor tiles $a / $b (expected $floor), empty place $empty"
  sleep 1
done
e2e_log "tasko shows the map plom built ($shot)"
e2e_quit_engine
e2e_pass
