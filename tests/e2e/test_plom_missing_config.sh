#!/usr/bin/env bash
# (xwininfo's names are read with the trailing blank of the title "PLOM ERROR " dropped.)
# Without "_DATA/ini.txt" plom shows the failure box with that path, opens no main window and
# ends with exit code 0 once the box is closed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
rm "$E2E_WORLD/_DATA/ini.txt"
plom_start
e2e_wait_window '^PLOM ERROR ?$' 20
e2e_screenshot "$E2E_WORK/failure-box.png"
[ -z "$(e2e_find_window "$PLOM_MAIN_TITLE")" ] || e2e_fail "a main window is open beside the failure box"
plom_answer_box '^PLOM ERROR ?$' Return
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom ended with exit code $E2E_EXIT instead of 0"
e2e_pass
