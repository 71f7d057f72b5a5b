# Helpers of the map builder's end-to-end tests, on top of lib.sh: starting plom in the world
# copy, its window titles, and driving its menu from the keyboard.
# Environment: PLOM (the builder binary).
# shellcheck shell=bash disable=SC2034
PLOM=${PLOM:-$BUILD_DIR/bin/plom}

PLOM_MAIN_TITLE='^QUENTBUILDER VERSION 0\.5 BASED ON ZEFA BUILDER VERSION 0\.7$'
# The tile window is titled "Tiles" and takes the current map file's name at its first event,
# which comes once start-up is complete and the main loop runs.
PLOM_TILE_TITLE='^1$'
PLOM_DNA_TITLE='^DNA_DESCRIPTOR_WINDOW$'

# Starts plom in the world directory in the background, with the given arguments (if any;
# output in plom-N.out). The pid goes to
# E2E_TASKO_PID, the program under test of lib.sh's waiting and cleanup helpers.
plom_start() {
  [ -x "$PLOM" ] || e2e_fail "builder binary not found or not executable: $PLOM"
  E2E_RUNS=$((E2E_RUNS + 1))
  (cd "$E2E_WORLD" && exec "$PLOM" "$@") >"$E2E_WORK/plom-$E2E_RUNS.out" 2>&1 &
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

# plom_client_top WINDOW: e2e_geometry of a tool window (its X window holds the menu bar and
# the client area, whatever draws the frame), and CLIENT_Y, the screen row where its client area
# starts below the menu bar. Both tool windows' client areas are a quarter of the screen high.
plom_client_top() {
  local screen_height
  screen_height=$(xwininfo -root | awk '/Height:/ {print $NF}')
  e2e_geometry "$1"
  CLIENT_Y=$((Y + HEIGHT - screen_height / 4))
}

# plom_open_menu WINDOW: a click on the first title of a tool window's menu bar (in its first
# row: a Windows menu bar wider than its window takes two).
plom_open_menu() {
  plom_client_top "$1"
  # The pointer comes from elsewhere: Wine takes a click where the pointer already rests after
  # its menu closed for no click on the menu bar.
  xdotool mousemove $((X + WIDTH + 30)) $((Y + HEIGHT + 30)) sleep 0.2 mousemove $((X + 30)) $((Y + 10)) sleep 0.2 click 1
}

# plom_menu_item DOWNS: opens the tile window's first menu "BUILDER:" with a click on its title
# and walks DOWNS items down with the cursor key, then chooses the item with Return.
# (BUILDER: -> 1 "MAP *Load*", 2 "MAP *Save*", 3 "Quit Builder").
plom_menu_item() {
  local downs=$1 i
  plom_open_menu "$PLOM_TILES"
  sleep 0.5
  for ((i = 0; i < downs; i++)); do xdotool keydown Down sleep 0.1 keyup Down; done
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

# --- editing the map -------------------------------------------------------------------------
# The tool windows leave the right part of the desktop free: the pointer rests there while keys
# are pressed, so they go to the main window (plom reads them at its next event).
PLOM_REST_X=1100
PLOM_REST_Y=900

# plom_keys KEY...: presses each key with the pointer over the main window, then moves the
# pointer by one pixel, an event of the main window that shows what the keys did.
plom_keys() {
  local key
  xdotool mousemove "$PLOM_REST_X" "$PLOM_REST_Y"
  sleep 0.2
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
  xdotool mousemove $((PLOM_REST_X + 1)) "$PLOM_REST_Y"
  sleep 0.2
}

# plom_click X Y [BUTTON]: a click (left by default, 3 for right) at a desktop position.
plom_click() {
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool click "${3:-1}"
  sleep 0.3
}

# plom_toggle_tool_windows shown|hidden: Tab over the main window, then waits until both tool
# windows are shown again (their ids are taken anew: FLTK gives a shown window a new X window)
# or both are gone from the screen.
plom_toggle_tool_windows() {
  plom_keys Tab
  if [ "$1" = shown ]; then
    e2e_wait_window "$PLOM_TILE_TITLE" 5
    PLOM_TILES=$E2E_WINDOW
    e2e_wait_window '^(DNA_DESCRIPTOR_WINDOW|DNA for Tile: .*)$' 5
    PLOM_DNA=$E2E_WINDOW
  else
    e2e_wait_no_window "$PLOM_TILE_TITLE" 5 || e2e_fail "the tile window is still shown after Tab"
    e2e_wait_no_window '^(DNA_DESCRIPTOR_WINDOW|DNA for Tile: .*)$' 5 ||
      e2e_fail "the descriptor window is still shown after Tab"
  fi
}

# plom_tile_index NAME: the index of tile type NAME in the builder's library of the world copy:
# the graphics that have a descriptor, in byte-wise order of their names.
plom_tile_index() {
  local index=0 png name
  for png in $(cd "$E2E_WORLD/GFX" && LC_ALL=C ls -1 -- *.png); do
    name=${png%.png}
    [ -f "$E2E_WORLD/GFX/$name.dll" ] || continue
    if [ "$name" = "$1" ]; then
      echo "$index"
      return 0
    fi
    index=$((index + 1))
  done
  e2e_fail "no tile type $1 in the world's tile library"
}

# plom_pick_tile INDEX: clicks the thumbnail of tile type INDEX in the tile window (cells of 50
# pixels, below the menu bar; a row ends where the next cell would start past the client width
# less 64 pixels: six to a row at 320 pixels, nine at 480).
plom_pick_tile() {
  plom_client_top "$PLOM_TILES"
  local row=$(((WIDTH - 64) / 50 + 1))
  plom_click $((X + 50 * ($1 % row) + 24)) $((CLIENT_Y + 50 * ($1 / row) + 24))
}

# plom_menu RIGHTS DOWNS: opens "BUILDER:", moves RIGHTS titles to the right and DOWNS items
# down, and chooses the item (MAP = 1 right, "Tools:" = 4 rights).
plom_menu() {
  local rights=$1 downs=$2 i
  plom_open_menu "$PLOM_TILES"
  sleep 0.5
  # Each cursor key is held a moment, as a hand holds it: the menu, not the map, takes it.
  for ((i = 0; i < rights; i++)); do xdotool keydown Right sleep 0.1 keyup Right; sleep 0.1; done
  # A Windows menu (plom.exe under Wine) opened with Right already has its first item chosen.
  if [ "$rights" -gt 0 ] && xprop -id "$PLOM_TILES" WM_CLASS 2>/dev/null | grep -q '\.exe"'; then
    downs=$((downs - 1))
  fi
  for ((i = 0; i < downs; i++)); do xdotool keydown Down sleep 0.1 keyup Down; done
  xdotool key Return
  sleep 0.3
}

# plom_redraw_map: "MAP" > "Redraw MAP" from the menu, then waits up to 5 s for it to rewrite
# the map file 1 of the world; status 1 when it was not rewritten.
plom_redraw_map() {
  touch -d '2000-01-01' "$E2E_WORLD/1"
  : >"$E2E_WORK/before-redraw"
  plom_menu 1 1
  for _ in $(seq 50); do [ "$E2E_WORLD/1" -nt "$E2E_WORK/before-redraw" ] && break; sleep 0.1; done
  sleep 0.3
  [ "$E2E_WORLD/1" -nt "$E2E_WORK/before-redraw" ]
}

# plom_save_as NAME: "MAP *Save*", the name typed after the directory the requester shows.
plom_save_as() {
  plom_menu_item 2
  e2e_wait_window '^MAP-BUILDER: Save MAP File:$' 10
  e2e_geometry "$E2E_WINDOW"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.3
  xdotool key End
  xdotool type --delay 40 "$1"
  xdotool key Return
  e2e_wait_no_window '^MAP-BUILDER: Save MAP File:$' 5 || e2e_fail "the save requester is still open"
}

# plom_quit: "Quit Builder", Yes; checks exit code 0.
plom_quit() {
  plom_menu_item 3
  plom_answer_box '^MAP BUILDER: Quit\?$' y
  e2e_wait_exit 10
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom ended with exit code $E2E_EXIT instead of 0"
}

# plom_tile_records FILE: the number of TILE records in a map file.
plom_tile_records() { tr -d '\r' <"$1" | grep -c '^TILE$'; }

# plom_set_first_value TEXT: types TEXT over the first value field of the descriptor window and
# chooses "DNA-SETTINGS:" -> "SET DNA".
plom_set_first_value() {
  plom_client_top "$PLOM_DNA"
  plom_click $((X + 80)) $((CLIENT_Y + 30))
  xdotool key End
  for _ in $(seq 20); do xdotool key BackSpace; done
  xdotool type --delay 40 "$1"
  plom_open_menu "$PLOM_DNA"
  sleep 0.5
  xdotool key Down Return
}
