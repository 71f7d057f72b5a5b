#!/usr/bin/env bash
# The demo world runs by itself and follows the keyboard: the walker in the lower left corridor
# changes from one screenshot to the next while the view stands still, and holding the right
# arrow key walks the hero right while the view follows him: the world scrolls left by the
# hero's steps and the hero stays where he was on the screen.
source "$(dirname "$0")/lib.sh"

e2e_begin
e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .png 6 1 20

# 1. Nothing held: the view stands still, the walker walks and animates.
first=$E2E_WORK/still-1.png
second=$E2E_WORK/still-2.png
e2e_screenshot "$first"
sleep 1
e2e_screenshot "$second"
e2e_crop_differs "$first" "$second" 128 768 256 64 ||
  e2e_fail "the walker's corridor (128..384, 768..832) looks the same in two screenshots a second apart"
read -r shift bad < <(e2e_row_shift "$first" "$second" 370)
[ "$shift" -eq 0 ] || e2e_fail "the view moved by $shift pixels although no key was held"
e2e_log "the walker moves and animates; the view stands still"

# 2. Holding the right arrow: the hero walks right and the view follows him.
hero_shirt="36 110 150"
before=$(e2e_count_colour "$second" 192 640 64 64 "$hero_shirt")
[ "$before" -gt 100 ] || e2e_fail "the hero is not at (192, 640) on the screen before walking ($before shirt pixels)"
# A short hold, released before the screenshot: the shift is then the steps taken while the key
# was down, which stays within the search range on a fast machine (about 150 frames a second
# under Xvfb, 4 pixels a step) and is still several steps on a slow one.
xdotool mousemove 640 512
xdotool keydown Right
sleep 0.25
xdotool keyup Right
walked=$E2E_WORK/walked.png
e2e_screenshot "$walked"
read -r shift bad < <(e2e_row_shift "$second" "$walked" 370)
e2e_log "while the right arrow was held the world scrolled left by $shift pixels ($bad of 310 pixels off)"
[ "$shift" -ge 8 ] || e2e_fail "the world did not scroll left while the right arrow was held (shift $shift)"
[ "$bad" -le 15 ] || e2e_fail "row 370 does not match the earlier screenshot at any shift (best $shift, $bad pixels off)"
[ $((shift % 4)) -eq 0 ] || e2e_fail "the view moved by $shift pixels, not by whole steps of the hero (4 pixels)"
after=$(e2e_count_colour "$walked" 192 640 64 64 "$hero_shirt")
[ "$after" -gt 100 ] || e2e_fail "the hero left his place on the screen while the view followed him ($after shirt pixels)"
e2e_crop_differs "$second" "$walked" 0 0 1280 600 || e2e_fail "the upper part of the screen did not change while walking"

# 3. Released: the hero stops, and so does the view.
sleep 0.5
stopped1=$E2E_WORK/stopped-1.png
stopped2=$E2E_WORK/stopped-2.png
e2e_screenshot "$stopped1"
sleep 0.5
e2e_screenshot "$stopped2"
read -r shift bad < <(e2e_row_shift "$stopped1" "$stopped2" 370)
[ "$shift" -eq 0 ] || e2e_fail "the view still moved by $shift pixels after the key was released"

e2e_quit_engine
e2e_pass
