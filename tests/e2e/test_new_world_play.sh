#!/usr/bin/env bash
# A world of one's own, played from the builder: tasko --new-world writes a world (and refuses
# to write into it again); plom shows its tiles in the tile window; a wall placed in plom and F5
# start tasko on the scratch map, which shows the wall while the map file stays as it was; after
# that engine ends, plom still answers and quits with 0; tasko on the world shows floor and player.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
E2E_WORLD=$E2E_WORK/mine
W=$E2E_WORLD

"$TASKO" --new-world "$W" >"$E2E_WORK/new.txt" 2>&1 || e2e_fail "tasko --new-world failed: $(cat "$E2E_WORK/new.txt")"
"$TASKO" --new-world "$W" >/dev/null 2>&1
[ $? -eq 2 ] || e2e_fail "a second tasko --new-world into the same directory did not end with exit code 2"

# Colours of the new world's graphics: the player's disc, the floor slab, a brick.
PLAYER="30 90 210"
FLOOR="92 108 84"
BRICK="150 62 44"

# The builder: the world's tiles in the tile window.
map_before=$(md5sum <"$W/1")
plom_start
plom_wait_windows
sleep 1
shot=$E2E_WORK/plom.png
e2e_screenshot "$shot"
e2e_geometry "$PLOM_TILES"
players=$(e2e_count_rgb "$shot" "$X" "$Y" 320 130 "$PLAYER")
bricks=$(e2e_count_rgb "$shot" "$X" "$Y" 320 130 "$BRICK")
[ "$players" -gt 300 ] && [ "$bricks" -gt 300 ] ||
  e2e_fail "the tile window shows $players player and $bricks brick pixels, not the world's tiles"
e2e_log "plom's tile window shows the world's tiles ($players player, $bricks brick pixels)"

# A wall on the floor (free cursor: where the pointer is), then F5 over the map.
bricks_before=$(e2e_count_rgb "$shot" 260 260 200 200 "$BRICK")
plom_pick_tile "$(plom_tile_index wall)"
plom_keys c
plom_click 330 330
plom_keys F5
for _ in $(seq 100); do [ -f "$W/USER/_PLAYMAP" ] && break; sleep 0.1; done
[ -f "$W/USER/_PLAYMAP" ] || { e2e_screenshot "$E2E_WORK/after-f5.png"; e2e_fail "F5 wrote no scratch map (USER holds: $(ls "$W/USER"))"; }
e2e_wait_window '^KORVANE$' 20
engine_window=$E2E_WINDOW
engine_pid=$(pgrep -P "$E2E_TASKO_PID" -x tasko) || e2e_fail "F5 started no tasko as plom's child"
tr -d '\r' <"$W/USER/_PLAYMAP" | grep -qx wall || e2e_fail "the scratch map holds no wall"
[ "$(md5sum <"$W/1")" = "$map_before" ] || e2e_fail "F5 changed the map file 1"
for attempt in $(seq 20); do
  shot=$E2E_WORK/played-$attempt.png
  e2e_screenshot "$shot"
  bricks=$(e2e_count_rgb "$shot" 260 260 200 200 "$BRICK")
  players=$(e2e_count_rgb "$shot" 0 0 1280 1024 "$PLAYER")
  # The engine's window covers plom's: floor where plom's tile window is.
  covered=$(e2e_count_rgb "$shot" 10 100 290 180 "$FLOOR")
  [ "$bricks" -gt $((bricks_before + 2000)) ] && [ "$players" -gt 1000 ] && [ "$covered" -gt 20000 ] && break
  [ "$attempt" -lt 20 ] || e2e_fail "the engine started by F5 shows $bricks brick pixels where the wall was placed"
  sleep 1
done
e2e_log "the engine started by F5 shows the placed wall ($bricks brick pixels)"

# F5 while that engine runs starts no second one (the keyboard is given to plom's main window,
# as a window manager would on a click there).
xdotool windowfocus "$PLOM_MAIN" 2>/dev/null
plom_keys F5
sleep 1
[ "$(pgrep -P "$E2E_TASKO_PID" -x tasko | wc -l)" -eq 1 ] || e2e_fail "F5 started a second engine while one ran"

# End the engine; plom still answers. Without a window manager nobody gives the new window the
# keyboard (plom's clicked windows keep it), so the test does what a window manager would.
xdotool windowfocus "$engine_window" 2>/dev/null
xdotool mousemove 640 512
xdotool keydown Escape
xdotool keydown Alt_L
# An ended engine stays a zombie until plom's next event collects it.
gone=1
for _ in $(seq 100); do
  state=$(ps -o stat= -p "$engine_pid" 2>/dev/null)
  if [ -z "$state" ] || [[ $state == Z* ]]; then gone=0; break; fi
  sleep 0.1
done
xdotool keyup Alt_L keyup Escape
[ "$gone" -eq 0 ] || e2e_fail "the engine started by F5 did not end on Escape + left Alt"
e2e_wait_no_window '^KORVANE$' 5 || e2e_fail "the engine's window stayed"
plom_quit
e2e_log "plom quit with exit code 0 after the engine ended"

# Without a window manager an ended full-screen program leaves the X focus nowhere; the engine
# run that follows takes it again for its own window.
# The engine: floor and player on screen.
e2e_start_tasko
e2e_wait_world_window
for attempt in $(seq 20); do
  shot=$E2E_WORK/tasko-$attempt.png
  e2e_screenshot "$shot"
  players=$(e2e_count_rgb "$shot" 0 0 1280 1024 "$PLAYER")
  floors=$(e2e_count_rgb "$shot" 0 0 1280 1024 "$FLOOR")
  [ "$players" -gt 1000 ] && [ "$floors" -gt 100000 ] && break
  [ "$attempt" -lt 20 ] || e2e_fail "tasko on the new world: $players player and $floors floor pixels on screen"
  sleep 1
done
e2e_log "tasko on the new world: $players player and $floors floor pixels"
e2e_quit_engine

e2e_pass
