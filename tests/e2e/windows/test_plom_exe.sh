#!/usr/bin/env bash
# plom.exe under Wine behaves and writes as the Linux plom does: its menus answer one after the
# other and after a click on the map; the same editing steps on the demo give the same map,
# "Redraw MAP" and descriptor bytes on both systems; F5 plays the map in tasko.exe and plom
# answers again afterwards; a fault inside drawing ends it with the entry, the crash backup and
# exit code 0 within 10 s.
# Environment (scripts/windows-test.sh sets it): PLOM and PLOM_DRAW_FAULT run the Windows
# programs (tasko.exe lies beside plom.exe), LINUX_PLOM is the Linux build's plom. Runs under a
# window manager (E2E_WM=openbox): Wine's windows get keys only through one.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/../plom_lib.sh"

[ -x "${LINUX_PLOM:-}" ] || e2e_fail "LINUX_PLOM (the Linux build's plom) is not set"
[ -x "${PLOM_DRAW_FAULT:-}" ] || e2e_fail "PLOM_DRAW_FAULT (plom_draw_fault.exe under Wine) is not set"
WINDOWS_PLOM=$PLOM
e2e_begin
W=$E2E_WORLD

# The menus answer one after the other without a click between them: "MAP" > "Redraw MAP"
# chosen with the keys rewrites the map file 1, and three seconds later a click on the menu
# title opens the menu again ("Quit Builder" answered with N).
plom_start
plom_wait_windows
plom_redraw_map || e2e_fail "Redraw MAP chosen from the menu did not rewrite the map file 1"
sleep 3
plom_menu_item 3
plom_answer_box '^MAP BUILDER: Quit\?$' n
e2e_log "a second menu command three seconds after Redraw MAP, no click between them"

# The menus answer after a click on the map and after each other: "Quit Builder" answered with N
# and with Escape keeps plom running (Windows' own Yes/No box ignores Escape), Y ends it with
# exit code 0, and the quit left no fault entry behind.
plom_click 700 600
for key in n Escape; do
  plom_menu_item 3
  plom_answer_box '^MAP BUILDER: Quit\?$' "$key"
  sleep 0.5
  e2e_tasko_running || e2e_fail "plom.exe ended after Quit Builder was answered with $key"
done
plom_quit
[ ! -e "$W/USER/ERR!!!!.txt" ] || e2e_fail "plom.exe wrote a fault entry while quitting: $(cat "$W/USER/ERR!!!!.txt")"
e2e_log "menus reached after a click on the map and after each other; N and Escape: No; Y: exit code 0"

# session NAME: on a fresh demo world, crate picked, tool windows hidden, free cursor: two crates
# placed, the second deleted, the delete undone; saved as edited.map; "Redraw MAP" rewrites the
# map file 1; the crate's first descriptor value becomes 77 with SET DNA. The three files are
# kept as NAME.map, NAME.redrawn and NAME.dll.
session() {
  e2e_fresh_world
  plom_start
  plom_wait_windows
  plom_pick_tile "$(plom_tile_index crate)"
  e2e_wait_window '^DNA for Tile: .*GFX/crate File:crate$' 5
  plom_toggle_tool_windows hidden
  plom_keys c
  plom_click 500 700
  plom_click 564 700
  plom_click 570 710 3
  e2e_wait_for_file_text "$W/USER/UNDO_2" ENGINETILEINFOEND 5 || e2e_fail "$1: no snapshot after the delete"
  plom_keys u
  plom_toggle_tool_windows shown
  plom_save_as edited.map
  e2e_wait_for_file_text "$W/edited.map" ENGINETILEINFOEND 5 || e2e_fail "$1: no map file edited.map"
  cp "$W/edited.map" "$E2E_WORK/$1.map"
  plom_redraw_map
  cp "$W/1" "$E2E_WORK/$1.redrawn"
  plom_set_first_value 77
  for _ in $(seq 50); do [ "$(tr -d '\r' <"$W/GFX/crate.dll" | sed -n 2p)" = 77 ] && break; sleep 0.1; done
  cp "$W/GFX/crate.dll" "$E2E_WORK/$1.dll"
  plom_quit
}
PLOM=$LINUX_PLOM
session linux
PLOM=$WINDOWS_PLOM
session windows
[ "$(plom_tile_records "$E2E_WORK/linux.map")" -eq "$(($(plom_tile_records "$SOURCE_DIR/demo/1") + 2))" ] ||
  e2e_fail "the Linux session's map does not hold the two crates: the steps did not take"
[ "$(tr -d '\r' <"$E2E_WORK/linux.dll" | sed -n 2p)" = 77 ] || e2e_fail "the Linux session's SET DNA did not write 77"
for file in map redrawn dll; do
  cmp -s "$E2E_WORK/linux.$file" "$E2E_WORK/windows.$file" ||
    e2e_fail "the $file files differ: $(diff <(tr -d '\r' <"$E2E_WORK/linux.$file") <(tr -d '\r' <"$E2E_WORK/windows.$file") | head -n 6)"
done
cmp -s "$E2E_WORK/windows.redrawn" "$SOURCE_DIR/demo/1" &&
  e2e_fail "Redraw MAP left the map file 1 as the demo has it: the edits were not written"
e2e_log "saved map, Redraw MAP and SET DNA: the same bytes as on Linux"

# F5 plays the map in tasko.exe; once the engine has ended, plom answers its menus again.
e2e_fresh_world
plom_start
plom_wait_windows
shot=$E2E_WORK/plom-$E2E_SCREEN.png
e2e_screenshot "$shot"
# The thumbnails cover part of the tile window's grey; the strips at the right and bottom edges
# of the main window are of one colour, not the map's black.
plom_client_top "$PLOM_TILES"
grey=$(e2e_count_rgb "$shot" "$X" "$CLIENT_Y" "$WIDTH" $((Y + HEIGHT - CLIENT_Y)) "200 200 200")
[ "$grey" -gt 1000 ] && [ "$grey" -lt $((WIDTH * (Y + HEIGHT - CLIENT_Y) * 3 / 4)) ] ||
  e2e_fail "the tile window shows $grey grey pixels: no thumbnails on its grey (kept: $shot)"
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')
right=$(e2e_box_rgb "$shot" $((screen_w - 4)) $((screen_h / 2)) 3)
bottom=$(e2e_box_rgb "$shot" $((screen_w * 3 / 4)) $((screen_h - 4)) 3)
[ "$right" = "$bottom" ] && [ "$right" != "0 0 0" ] || e2e_fail "the screen's edge strips show $right and $bottom"
plom_pick_tile "$(plom_tile_index wall)"
plom_keys c
plom_click 330 330
plom_keys F5
e2e_wait_window '^KORVANE$' 30
tr -d '\r' <"$W/USER/_PLAYMAP" | grep -qx wall || e2e_fail "the scratch map of F5 holds no wall"
xdotool windowfocus "$E2E_WINDOW" 2>/dev/null
xdotool mousemove 640 512 keydown Escape keydown Alt_L
e2e_wait_no_window '^KORVANE$' 15
gone=$?
xdotool keyup Alt_L keyup Escape
[ "$gone" -eq 0 ] || e2e_fail "the engine started by F5 did not end on Escape + left Alt"
plom_quit
e2e_log "F5 played the map in tasko.exe; plom quit afterwards with exit code 0"

# A fault inside drawing (the redraw after a mouse move): once the box is answered, once left open.
PLOM=$PLOM_DRAW_FAULT
for answer in Return none; do
  plom_start
  plom_wait_windows
  sleep 1  # keeps the backups' names (seconds) apart
  : >"$W/draw-fault.request"
  xdotool mousemove 700 500 sleep 0.3 mousemove 710 505
  started=$SECONDS
  e2e_wait_window '^QUENT BUILDER FATAL ERROR:$' 10
  [ "$answer" = Return ] && plom_answer_box '^QUENT BUILDER FATAL ERROR:$' Return
  e2e_wait_exit 12
  rm -f "$W/draw-fault.request"
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom.exe ($answer) ended with exit code $E2E_EXIT after a fault inside drawing"
  [ $((SECONDS - started)) -le 10 ] || e2e_fail "plom.exe ($answer) took $((SECONDS - started)) s to end"
done
[ "$(tr -d '\r' <"$W/USER/ERR!!!!.txt" | grep -c '^WHAT: ACCESS VIOLATION (SIGSEGV)$')" -eq 2 ] ||
  e2e_fail "plom.exe's log lacks its two access violation entries: $(cat "$W/USER/ERR!!!!.txt")"
shopt -s nullglob
backups=("$W"/USER/_LAZARUS*)
[ "${#backups[@]}" -eq 2 ] || e2e_fail "${#backups[@]} crash backups, expected 2"
for backup in "${backups[@]}"; do
  cmp -s "$backup" "$W/1" || e2e_fail "the crash backup $(basename "$backup") does not hold the demo map"
done
e2e_log "fault inside drawing: entry, backup and exit code 0 within 10 s, answered and left open"
e2e_pass
