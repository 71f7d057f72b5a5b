#!/usr/bin/env bash
# plom on the demo world opens its three windows with their titles, positions and sizes and
# draws the demo map (start-up map "1") into the main window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
plom_start
plom_wait_windows

geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
  /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'; }
read -r x y w h <<<"$(geometry "$PLOM_MAIN")"
[ "$x $y $w $h" = "0 0 1280 1024" ] || e2e_fail "main window at ($x,$y) ${w}x${h}, expected (0,0) 1280x1024"
# Tool windows: the client area is a quarter of the desktop plus the menu bar (25 pixels) above
# it. FLTK places the would-be frame at the requested corner, so without a window manager the
# client starts a border and a title bar further in.
read -r x y w h <<<"$(geometry "$PLOM_TILES")"
[ "$w" -eq 320 ] && [ "$h" -eq 281 ] || e2e_fail "tile window is ${w}x${h}, expected 320x281"
[ "$x" -le 8 ] && [ "$y" -le 30 ] || e2e_fail "tile window at ($x,$y), expected near (0,0)"
read -r x2 y2 w h <<<"$(geometry "$PLOM_DNA")"
[ "$w" -eq 320 ] && [ "$h" -eq 281 ] || e2e_fail "descriptor window is ${w}x${h}, expected 320x281"
# (FLTK only moves a frame that would leave the screen, so the tile window alone moves right.)
[ "$x2" -ge 320 ] && [ "$x2" -le 321 ] && [ "$y2" -eq "$y" ] ||
  e2e_fail "descriptor window at ($x2,$y2), expected at x 320 (+1) beside the tile window"

# The map: probes outside the two tool windows. The builder draws every layer of the file,
# so the layer 9 crate the engine never builds is on screen here.
E2E_DEMO_PROBES=(
  "brick of the wall stub|648|133|wall|8|5"
  "floor slab|688|416|floor|48|32"
  "plank of the layer 9 crate|586|612|crate|10|36"
)
e2e_wait_demo_drawn .png 6 1 20
e2e_log "map drawn as expected ($E2E_SHOT)"
e2e_pass
