#!/usr/bin/env bash
# The real FLTK backend lays out what plom asks for: the descriptor window's key fields show their
# text centred, and the main window keeps 5-pixel strips free at its right and bottom edges, over
# the drawing screen (which keeps its full size, so the map is not stretched).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
plom_start
plom_wait_windows
sleep 1
xdotool mousemove --window "$PLOM_MAIN" 700 500
sleep 0.5
shot=$E2E_WORK/layout.png
e2e_screenshot "$shot"

# The first key field: the first yellow pixel going down the descriptor window's left column.
e2e_geometry "$PLOM_DNA"
field_y=$(convert "$shot" -crop "1x120+$((X + 4))+$Y" +repage txt:- |
  awk -F'[:,() ]+' 'NR > 1 && $3 > 200 && $4 > 200 && $5 < 60 { print $2; exit }')
[ -n "$field_y" ] || e2e_fail "no yellow key field at the top of the descriptor window"
# Columns of the field (164 pixels, its sunken edge left out) that hold dark text pixels
# (pixel lines of `txt:` split into x, y, red, green, blue).
read -r first last < <(convert "$shot" -crop "160x14+$((X + 2))+$((Y + field_y))" +repage txt:- |
  awk -F'[:,() ]+' 'NR > 1 && $3 + $4 + $5 < 300 { if (min == "" || $1 < min) min = $1; if ($1 > max) max = $1 }
                    END { print min, max }')
[ -n "$first" ] && [ -n "$last" ] || e2e_fail "no text in the first key field"
left=$first
right=$((159 - last))
e2e_log "first key field: text from column $first to $last (margins $left and $right)"
[ "$left" -ge 8 ] || e2e_fail "the key text starts $left pixels from the field's edge: not centred"
diff=$((left - right))
[ "${diff#-}" -le 4 ] || e2e_fail "the key text's margins are $left and $right pixels: not centred"

# The edge strips: uniform in the window's colour over their whole length, unlike the map beside them.
strip_colours() { convert "$shot" -crop "$1" +repage -unique-colors txt:- | tail -n +2 | wc -l; }
[ "$(strip_colours 5x1000+1275+10)" -eq 1 ] || e2e_fail "the right 5-pixel strip is not free (several colours)"
[ "$(strip_colours 1200x5+40+1019)" -eq 1 ] || e2e_fail "the bottom 5-pixel strip is not free (several colours)"
[ "$(strip_colours 1x1000+1274+10)" -gt 1 ] || e2e_fail "the map does not reach the strip at the right"
[ "$(e2e_pixel_rgb "$shot" 1277 500)" = "$(e2e_pixel_rgb "$shot" 600 1021)" ] ||
  e2e_fail "the two strips differ in colour"
plom_quit
e2e_pass
