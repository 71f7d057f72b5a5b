#!/usr/bin/env bash
# "Quit Builder" from the menu asks "MAP BUILDER: Quit?": No (the N key, or Escape) keeps plom
# running, Yes (the Y key) ends it with exit code 0. The menu is opened with a click and walked with
# the cursor keys and Return.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
plom_start
plom_wait_windows

for no_key in n Escape; do
  plom_menu_item 3
  plom_answer_box '^MAP BUILDER: Quit\?$' "$no_key"
  sleep 0.5
  e2e_tasko_running || e2e_fail "plom ended after $no_key"
  [ -n "$(e2e_find_window "$PLOM_MAIN_TITLE")" ] || e2e_fail "the main window is gone after $no_key"
done

plom_menu_item 3
plom_answer_box '^MAP BUILDER: Quit\?$' y
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom ended with exit code $E2E_EXIT instead of 0"
[ -z "$(e2e_find_window "$PLOM_MAIN_TITLE")" ] || e2e_fail "a main window is left after plom ended"
e2e_pass
