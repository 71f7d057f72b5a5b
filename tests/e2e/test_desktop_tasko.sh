#!/usr/bin/env bash
# tasko on a 1920x1080 desktop with a window manager (openbox): its window covers the whole
# screen without a frame and shows the 1280x1024 demo scaled to a 16:10 band of the screen's
# width (x 1.5, y 1200/1024); left Alt + left Ctrl + D shows the developer overlay, and left
# Alt held before Escape (which openbox binds to lowering a window) still ends it with code 0.
E2E_SCREEN=1920x1080x24
source "$(dirname "$0")/lib.sh"

e2e_begin
e2e_start_wm
e2e_start_tasko
e2e_wait_world_window
e2e_geometry "$E2E_WINDOW"
[ "$X $Y $WIDTH $HEIGHT" = "0 0 1920 1080" ] ||
  e2e_fail "the engine's window is at ($X,$Y) ${WIDTH}x${HEIGHT}, expected the whole screen"
xdotool mousemove 20 1060

# shoot_until SECONDS TEST: screenshots until "TEST SHOT" holds; fails with REPORT after the time.
shoot_until() {
  local tries=0
  until e2e_screenshot "$E2E_WORK/shot.png" && "$2" "$E2E_WORK/shot.png"; do
    e2e_tasko_running || e2e_fail "tasko ended unexpectedly"
    [ "$tries" -lt "$1" ] || e2e_fail "$REPORT"
    sleep 1
    tries=$((tries + 1))
  done
}
# Demo probes (map position, tile graphic, place in it) at their scaled screen places: the
# mean of a box over a few nearest-sampled source pixels stays close to the tile's own.
scaled_demo() {
  local mx my tile tx ty got want row
  REPORT="the demo is not drawn at its scaled places:"
  for row in "560 160 floor 48 32" "648 133 wall 8 5" "202 164 crate 10 36"; do
    read -r mx my tile tx ty <<<"$row"
    got=$(e2e_box_rgb "$1" $((mx * 3 / 2)) $((my * 1200 / 1024)) 6)
    want=$(e2e_box_rgb "$E2E_WORLD/GFX/$tile.png" "$tx" "$ty" 5)
    e2e_rgb_close "$got" "$want" 12 || { REPORT+=" $tile: screen $got, expected $want"; return 1; }
  done
}
overlay_on() {
  local green
  green=$(e2e_count_rgb "$1" 10 10 560 140 "0 200 0")
  REPORT="no overlay after left Alt + left Ctrl + D ($green green pixels)"
  [ "$green" -gt 500 ]
}
shoot_until 20 scaled_demo
e2e_log "demo drawn scaled to 1920x1080"
e2e_press "Alt_L Control_L" d
shoot_until 10 overlay_on
e2e_log "overlay shown under the window manager"

xdotool keydown Alt_L
sleep 0.3
xdotool keydown Escape
e2e_wait_gone "$E2E_TASKO_PID" 10
gone=$?
xdotool keyup Escape keyup Alt_L
[ "$gone" -eq 0 ] || e2e_fail "tasko did not end within 10 s of left Alt + Escape under the window manager"
e2e_wait_exit 1
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "tasko ended with exit code $E2E_EXIT instead of 0"
e2e_pass
