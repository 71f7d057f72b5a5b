# Helpers of the map builder's end-to-end tests, on top of lib.sh: starting plom in the world
# copy, its window titles, and driving its menu from the keyboard.
# Environment: PLOM (the builder binary).
# shellcheck shell=bash disable=SC2034
PLOM=${PLOM:-$BUILD_DIR/builder/plom}

PLOM_MAIN_TITLE='^QUENTBUILDER VERSION 0\.5 BASED ON ZEFA BUILDER VERSION 0\.7$'
# The tile window is titled "Tiles" and takes the current map file's name at its first event,
# which comes once start-up is complete and the main loop runs.
PLOM_TILE_TITLE='^1$'
PLOM_DNA_TITLE='^DNA_DESCRIPTOR_WINDOW$'

# Starts plom in the world directory in the background (output in plom-N.out). The pid goes to
# E2E_TASKO_PID, the program under test of lib.sh's waiting and cleanup helpers.
plom_start() {
  [ -x "$PLOM" ] || e2e_fail "builder binary not found or not executable: $PLOM"
  E2E_RUNS=$((E2E_RUNS + 1))
  (cd "$E2E_WORLD" && exec "$PLOM") >"$E2E_WORK/plom-$E2E_RUNS.out" 2>&1 &
  E2E_TASKO_PID=$!
  e2e_log "started plom (pid $E2E_TASKO_PID)"
}

plom_wait_windows() {
  e2e_wait_window "$PLOM_MAIN_TITLE" 20
  PLOM_MAIN=$E2E_WINDOW
  e2e_wait_window "$PLOM_TILE_TITLE" 20
  PLOM_TILES=$E2E_WINDOW
  e2e_wait_window "$PLOM_DNA_TITLE" 20
  PLOM_DNA=$E2E_WINDOW
}

# plom_menu_item DOWNS: opens the tile window's first menu "BUILDER:" with a click on its title
# and walks DOWNS items down with the cursor key, then chooses the item with Return.
# (BUILDER: -> 1 "MAP *Load*", 2 "MAP *Save*", 3 "Quit Builder").
plom_menu_item() {
  local downs=$1 i
  eval "$(xdotool getwindowgeometry --shell "$PLOM_TILES")"
  xdotool mousemove $((X + 30)) $((Y + 12)) click 1
  sleep 0.5
  for ((i = 0; i < downs; i++)); do
    xdotool key Down
    sleep 0.1
  done
  xdotool key Return
}

# plom_answer_box TITLE_REGEX KEY: waits for a message box and answers it with a key; the box
# takes the keyboard for itself, so the pointer may be anywhere.
plom_answer_box() {
  e2e_wait_window "$1" 10
  xdotool mousemove 1000 900
  xdotool key "$2"
  e2e_wait_no_window "$1" 5 || e2e_fail "the box '$1' is still open after the key $2"
}
