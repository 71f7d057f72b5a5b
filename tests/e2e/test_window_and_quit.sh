#!/usr/bin/env bash
# The engine opens its window at the desktop size, ignores Escape alone and ends with exit
# code 0 when Escape and left Alt are held together.
source "$(dirname "$0")/lib.sh"

e2e_begin
e2e_start_tasko
e2e_wait_world_window
win=$E2E_WINDOW

e2e_geometry "$win"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 1024 ] ||
  e2e_fail "the window is ${WIDTH}x${HEIGHT}, expected the desktop size 1280x1024"
[ "$X" -eq 0 ] && [ "$Y" -eq 0 ] || e2e_fail "the window is at ($X,$Y), expected (0,0)"

# Escape alone, held for a second, must not end the engine.
xdotool mousemove 640 512
xdotool keydown Escape
sleep 1
xdotool keyup Escape
sleep 0.5
e2e_tasko_running || e2e_fail "tasko ended after Escape alone"
e2e_find_window '^KORVANE$' >/dev/null || e2e_fail "the KORVANE window vanished after Escape alone"

# Escape with left Alt ends it, with exit code 0, and its window goes away.
e2e_quit_engine
[ -z "$(e2e_find_window '^KORVANE$')" ] || e2e_fail "a KORVANE window is left after the engine ended"

e2e_pass
