#!/usr/bin/env bash
# Without CORE/ini.crc the engine reports a fatal start-up error: a box titled
# "KORVANE_CORE ERROR:", then, once that is confirmed, a box titled "KORVANE_CORE INFO";
# confirming the second ends the program with exit code 0. No world window is opened.
source "$(dirname "$0")/lib.sh"

error_title='^KORVANE_CORE ERROR:$'
info_title='^KORVANE_CORE INFO$'

# confirm_box REGEX: puts the pointer on the box whose title matches (focus follows the
# pointer) and presses Return, the box's confirm key; presses it once more if the box is still
# open after 10 s. True when no window with that title is left.
confirm_box() {
  local regex=$1 id
  for _ in 1 2; do
    id=$(e2e_find_window "$regex" | head -n 1)
    [ -n "$id" ] || return 0
    e2e_geometry "$id"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 0.3
    xdotool key Return
    e2e_wait_no_window "$regex" 10 && return 0
  done
  return 1
}

e2e_begin
rm -f "$E2E_WORLD/CORE/ini.crc"
e2e_start_tasko

e2e_wait_window "$error_title" 20
[ -z "$(e2e_find_window "$info_title")" ] || e2e_fail "the INFO box is shown together with the ERROR box"
[ -z "$(e2e_find_window '^KORVANE$')" ] || e2e_fail "the world window was opened although the configuration is missing"

confirm_box "$error_title" || e2e_fail "the ERROR box stayed open after Return was pressed on it"
e2e_tasko_running || e2e_fail "tasko ended after the first box, before showing the INFO box"

e2e_wait_window "$info_title" 10
[ -z "$(e2e_find_window "$error_title")" ] || e2e_fail "the ERROR box is still shown beside the INFO box"

confirm_box "$info_title" || e2e_fail "the INFO box stayed open after Return was pressed on it"
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "tasko ended with exit code $E2E_EXIT after the error boxes, expected 0"
[ -z "$(e2e_find_window '^KORVANE')" ] || e2e_fail "a KORVANE window is left after the program ended"

e2e_pass
