#!/usr/bin/env bash
# Play while editing, under a window manager, with the build tree's plom and a search path that
# does not hold the build tree: F5 starts the tasko beside plom (build/bin); a wall placed in
# plom and F5 again bring the same tasko forward, which shows the wall without a restart; a
# broken map written over the played one leaves that world running as it was, with a warning.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
e2e_start_wm
E2E_WORLD=$E2E_WORK/mine
W=$E2E_WORLD
"$TASKO" --new-world "$W" >"$E2E_WORK/new.txt" 2>&1 || e2e_fail "tasko --new-world failed: $(cat "$E2E_WORK/new.txt")"
# Nothing of the build tree on the search path: F5 has to find tasko beside plom.
PATH=/usr/local/bin:/usr/bin:/bin
export PATH

BRICK="150 62 44"
PLAYER="30 90 210"
WALL_AREA=(260 260 200 200)  # where the wall goes: floor in the new world's start map

# engine_shot NAME: a screenshot while the engine is in front.
engine_shot() {
  E2E_SHOT=$E2E_WORK/$1.png
  e2e_screenshot "$E2E_SHOT"
}
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p'; }
engine_children() { pgrep -P "$PLOM_PID" -x tasko; }

plom_start
PLOM_PID=$E2E_TASKO_PID
plom_wait_windows

# F5: the build tree's tasko starts on the scratch map and shows the world.
plom_keys F5
e2e_wait_window '^KORVANE$' 20
ENGINE_WINDOW=$E2E_WINDOW
ENGINE_PID=$(engine_children) || e2e_fail "F5 started no tasko as plom's child"
started=$(readlink -f "/proc/$ENGINE_PID/exe")
[ "$started" = "$(readlink -f "$(dirname "$PLOM")/tasko")" ] ||
  e2e_fail "F5 started $started, not the tasko beside plom"
for attempt in $(seq 20); do
  engine_shot first-$attempt
  players=$(e2e_count_rgb "$E2E_SHOT" 0 0 1280 1024 "$PLAYER")
  [ "$players" -gt 1000 ] && break
  [ "$attempt" -lt 20 ] || e2e_fail "the engine started by F5 shows no player ($players pixels)"
  sleep 1
done
bricks_before=$(e2e_count_rgb "$E2E_SHOT" "${WALL_AREA[@]}" "$BRICK")
e2e_log "F5 started $started (pid $ENGINE_PID) without the build tree on PATH"

# Back to plom (as Alt+Tab would), a wall on the floor, F5 again.
xdotool windowactivate --sync "$PLOM_MAIN" 2>/dev/null
sleep 1
plom_pick_tile "$(plom_tile_index wall)"
plom_keys c
plom_click 330 330
plom_keys F5
for attempt in $(seq 20); do
  sleep 0.5
  [ "$(($(active_window)))" -eq "$ENGINE_WINDOW" ] && break
  [ "$attempt" -lt 20 ] || e2e_fail "F5 while tasko runs did not bring its window to the front (active: $(active_window))"
done
for attempt in $(seq 20); do
  engine_shot reloaded-$attempt
  bricks=$(e2e_count_rgb "$E2E_SHOT" "${WALL_AREA[@]}" "$BRICK")
  [ "$bricks" -gt $((bricks_before + 2000)) ] && break
  [ "$attempt" -lt 20 ] || e2e_fail "the running tasko shows $bricks brick pixels where the wall was placed (before: $bricks_before)"
  sleep 0.5
done
RELOADED=$E2E_SHOT
[ "$(engine_children)" = "$ENGINE_PID" ] || e2e_fail "F5 while tasko ran did not keep that one engine (now: $(engine_children | xargs))"
e2e_log "the same tasko shows the placed wall after the second F5 ($bricks brick pixels)"

# A broken map (cut off inside a record) over the played one: the world runs on unchanged.
printf '0\r\n0\r\nTILE\r\nwall\r\n0\r\n' >"$W/USER/_PLAYMAP.broken"
mv "$W/USER/_PLAYMAP.broken" "$W/USER/_PLAYMAP"
e2e_wait_for_file_text "$W/warnings.log" "MAP FILE CHANGED BUT DOES NOT LOAD" 5 ||
  e2e_fail "no warning about the broken map in warnings.log"
grep -qF "$W/USER/_PLAYMAP" "$W/warnings.log" || e2e_fail "the warning does not name the played map"
sleep 1
kill -0 "$ENGINE_PID" 2>/dev/null || e2e_fail "tasko ended on a broken map"
engine_shot broken
# The world is static: the map (everything above the frame-rate text) is as it was.
e2e_same_area "$RELOADED" "$E2E_SHOT" 0 0 1280 900 || e2e_fail "the world changed on a broken map"
e2e_log "a broken map left the world running as it was, with a warning"

# The engine is plom's child: it has ended once it is gone or a zombie waiting for plom.
xdotool mousemove 640 512 keydown Escape keydown Alt_L
for _ in $(seq 100); do
  state=$(ps -o stat= -p "$ENGINE_PID" 2>/dev/null)
  [ -z "$state" ] || [[ $state == Z* ]] && break
  sleep 0.1
done
xdotool keyup Alt_L keyup Escape
[ -z "$state" ] || [[ $state == Z* ]] || e2e_fail "tasko did not end on Escape + left Alt"
xdotool windowactivate --sync "$PLOM_MAIN" 2>/dev/null
plom_quit
e2e_pass
