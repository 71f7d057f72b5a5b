#!/usr/bin/env bash
# The demo world as a page in headless chromium (WebGL 2 on SwiftShader) looks as the native
# engine draws it on llvmpipe: the regions of 32x32 pixels above the frame-rate line that stand
# still in four native screenshots match the page within a mean difference of 2 of 255 per
# channel (two software rasterisers, both sampling nearest pixels: they may round blended
# values differently by a step, nothing more), at least 95 % of them (the rest: things of the
# demo that rest for a while and then move, caught elsewhere on the page), and the demo's tile
# probes, lamp glow and transparent corner match as on the desktop. The frame-rate text is shown, the right arrow held
# through the protocol walks the hero as on the desktop, and Escape + left Alt ends the world,
# after which the page says so.
source "$(dirname "$0")/web_lib.sh"

web_begin
hero_shirt="36 110 150"

# The native picture: two screenshots a second apart tell still regions from moving ones.
e2e_start_tasko
e2e_wait_world_window
xdotool mousemove 20 1000
e2e_wait_demo_drawn .png 6 1 20
sleep 1.5
natives=()
for n in 1 2 3 4; do
  natives+=("$E2E_WORK/native-$n.png")
  e2e_screenshot "${natives[-1]}"
  sleep 0.5
done
native1=${natives[0]}
native_fps=$(e2e_count_rgb "$native1" 1152 916 128 20 "0 200 0")
e2e_quit_engine

web_pack "$E2E_WORLD" "$E2E_WORK/site"
web_open "$E2E_WORK/site"
web_wait_running 60
web_eval 'Math.round(taskoPage.firstFrameMs)'
e2e_log "first frame $WEB_VALUE ms after loading the page"
web_eval '[Module.canvas.width, Module.canvas.height]'
[ "$WEB_VALUE" = "[1280, 1024]" ] || e2e_fail "the canvas is $WEB_VALUE, not the page's 1280x1024 device pixels"
web_cmd move 20 1000
sleep 2.5  # the frame-rate text is renewed once a second; the full-screen button has faded
page=$E2E_WORK/page.png
web_cmd shot "$page"
e2e_check_demo_tiles "$page" .png 6 1 || e2e_fail "the page does not show the demo tiles:"$'\n'"$E2E_PROBE_REPORT"
report=$(python3 "$SOURCE_DIR/tests/web/compare_regions.py" 32 2 0.95 0 0 1280 896 "$page" "${natives[@]}") ||
  e2e_fail "the page differs from the native picture: $report"
e2e_log "page against native, 32x32 regions above the frame-rate line: $report"
page_fps=$(e2e_count_rgb "$page" 1152 916 128 20 "0 200 0")
[ "$native_fps" -gt 20 ] || e2e_fail "no frame-rate text in the native screenshot ($native_fps pixels)"
[ "$page_fps" -gt 20 ] || e2e_fail "no frame-rate text on the page ($page_fps pixels, native $native_fps)"

# The right arrow held for a moment: the view follows the hero by whole steps.
before=$E2E_WORK/page-before.png
walked=$E2E_WORK/page-walked.png
web_cmd shot "$before"
web_cmd keydown ArrowRight
sleep 0.5
web_cmd keyup ArrowRight
web_cmd shot "$walked"
read -r shift bad < <(e2e_row_shift "$before" "$walked" 370)
e2e_log "while the right arrow was held the world scrolled left by $shift pixels ($bad of 310 pixels off)"
[ "$shift" -ge 8 ] || e2e_fail "the world did not scroll left while the right arrow was held (shift $shift)"
[ "$bad" -le 15 ] || e2e_fail "row 370 does not match the earlier screenshot at any shift (best $shift, $bad off)"
[ $((shift % 4)) -eq 0 ] || e2e_fail "the view moved by $shift pixels, not by whole steps of the hero"
shirt=$(e2e_count_colour "$walked" 192 640 64 64 "$hero_shirt")
[ "$shirt" -gt 100 ] || e2e_fail "the hero left his place on the screen ($shirt shirt pixels)"

# Escape + left Alt ends the world; the page says so.
web_cmd keydown Escape
web_cmd keydown AltLeft
web_wait 10 'taskoPage.state === "ended"' || e2e_fail "the world did not end on Escape + left Alt (state $WEB_VALUE)"
web_cmd keyup AltLeft
web_cmd keyup Escape
text=$(web_text 'document.getElementById("status").innerText')
[ "$text" = "The world has ended." ] || e2e_fail "the page says '$text' after the world ended"
e2e_pass
