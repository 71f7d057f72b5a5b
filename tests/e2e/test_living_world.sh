#!/usr/bin/env bash
# The demo world runs by itself and follows the keyboard: the walker in the lower left corridor
# changes from one screenshot to the next while the view stands still, and holding the right
# arrow key walks the hero right while the view follows him: the world scrolls left by the
# hero's steps and the hero stays where he was on the screen.
source "$(dirname "$0")/lib.sh"

# e2e_row_gray IMAGE Y: the grey values (0..255) of one pixel row, one per line.
e2e_row_gray() {
  convert "$1" -crop "1280x1+0+$2" +repage -colorspace gray -depth 8 gray:- | od -An -v -tu1 | tr -s ' ' '\n' | sed '/^$/d'
}

# e2e_row_shift BEFORE AFTER Y: the leftward shift (0..600 pixels) that best lays row Y of
# AFTER onto row Y of BEFORE, as "shift mismatches" (mismatches: pixels of BEFORE's columns
# 600..909 differing by more than 8). Row 370 there holds only still things, among them the
# wall stub, which no shift by whole floor tiles can match.
e2e_row_shift() {
  paste <(e2e_row_gray "$1" "$3") <(e2e_row_gray "$2" "$3") | awk '
    { a[NR - 1] = $1; b[NR - 1] = $2 }
    END {
      best = -1; bestBad = 1e9
      for (d = 0; d <= 600; d++) {
        bad = 0
        for (x = 600; x < 910; x++) { v = a[x] - b[x - d]; if (v > 8 || v < -8) bad++ }
        if (bad < bestBad) { bestBad = bad; best = d }
      }
      print best, bestBad
    }'
}

# e2e_count_colour IMAGE X Y W H "R G B": pixels of the box within 12 of the colour per channel.
e2e_count_colour() {
  local -a c
  read -r -a c <<<"$6"
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk -v r="${c[0]}" -v g="${c[1]}" -v b="${c[2]}" '
    function near(u, v) { return u - v <= 12 && v - u <= 12 }
    near($1, r) && near($2, g) && near($3, b) { n++ }
    END { print n + 0 }'
}

# e2e_crop_differs A B X Y W H: true when the two screenshots differ anywhere in the box.
e2e_crop_differs() {
  local diff
  diff=$(compare -metric AE <(convert "$1" -crop "${5}x${6}+${3}+${4}" +repage png:-) \
    <(convert "$2" -crop "${5}x${6}+${3}+${4}" +repage png:-) null: 2>&1 >/dev/null)
  [ "${diff%% *}" != "0" ]
}

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
