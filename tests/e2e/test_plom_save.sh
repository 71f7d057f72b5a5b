#!/usr/bin/env bash
# "MAP *Save*" opens the save requester; a name typed there (after End, so it is appended to the
# directory shown) is written exactly under that name, and holds the start-up map unchanged.
# The cursor keys that walk the menus are the menus' own: in the free cursor mode, where held
# cursor keys scroll the map, "Redraw MAP" still writes the map file 1 as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
plom_start
plom_wait_windows

plom_menu_item 2
e2e_wait_window '^MAP-BUILDER: Save MAP File:$' 10
e2e_geometry "$E2E_WINDOW"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))  # keys go to the window under the pointer
sleep 0.3
xdotool key End
xdotool type --delay 40 "saved"
xdotool key Return
e2e_wait_no_window '^MAP-BUILDER: Save MAP File:$' 5 || e2e_fail "the save requester is still open"
e2e_wait_for_file_text "$E2E_WORLD/saved" ENGINETILEINFOEND 5 || e2e_fail "no map file 'saved' was written"
cmp -s "$E2E_WORLD/saved" "$E2E_WORLD/1" || e2e_fail "the saved map differs from the start-up map it was read from"
[ ! -e "$E2E_WORLD/saved.dll" ] || e2e_fail "an extension was added to the name"
e2e_tasko_running || e2e_fail "plom ended after saving"

plom_keys c
plom_redraw_map || e2e_fail "Redraw MAP chosen from the menu did not rewrite the map file 1"
cmp -s "$E2E_WORLD/1" "$E2E_WORLD/saved" ||
  e2e_fail "Redraw MAP moved the map: $(diff "$E2E_WORLD/saved" "$E2E_WORLD/1" | head -n 4 | tr -d '\r' | paste -s -d ' ')"
e2e_pass
