# Shared helpers of the end-to-end tests: a private X server, a fresh copy of the demo world,
# starting and ending the engine, waiting on windows and files, screenshots and pixel probes.
#
# A test script sources this file, calls e2e_begin, then uses the helpers below; every helper
# that checks something calls e2e_fail with a clear message, which ends the test with exit code 1.
# Environment: TASKO (the engine binary), SOURCE_DIR (repository root), BUILD_DIR (build tree).
# shellcheck shell=bash disable=SC2034  # E2E_WINDOW, E2E_SHOT, E2E_EXIT are read by the tests

set -uo pipefail

E2E_NAME=$(basename "${BASH_SOURCE[1]:-$0}" .sh)
SOURCE_DIR=${SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
BUILD_DIR=${BUILD_DIR:-$SOURCE_DIR/build}
TASKO=${TASKO:-$BUILD_DIR/bin/tasko}

E2E_SCREEN=${E2E_SCREEN:-1280x1024x24}  # the X server's screen; a test may set another first
E2E_WORK=""       # temporary directory of this test
E2E_WORLD=""      # the copy of the demo world the engine runs in
E2E_XVFB_PID=""   # the private X server
E2E_WM_PID=""     # the window manager, when the test started one
E2E_TASKO_PID=""  # the engine while it runs
E2E_STATUS=1      # exit status of the test; set to 0 by e2e_pass

e2e_log() { echo "[$E2E_NAME] $*"; }

e2e_fail() {
  echo "[$E2E_NAME] FAIL: $*" >&2
  E2E_STATUS=1
  exit 1
}

# e2e_skip REASON: ends the test as skipped (exit code 77, which CTest reports as skipped), for
# a peer program that is not installed.
e2e_skip() {
  e2e_log "SKIP: $*"
  E2E_STATUS=0
  exit 77
}

e2e_pass() {
  E2E_STATUS=0
  e2e_log "PASS"
  exit 0
}

# Ends the engine and the X server and removes the temporary directory. On failure the
# screenshots and logs are kept under BUILD_DIR/e2e-failures/<test> to look at afterwards.
e2e_cleanup() {
  if [ -n "$E2E_TASKO_PID" ] && kill -0 "$E2E_TASKO_PID" 2>/dev/null; then
    kill "$E2E_TASKO_PID" 2>/dev/null
    e2e_wait_gone "$E2E_TASKO_PID" 3 || kill -9 "$E2E_TASKO_PID" 2>/dev/null
    wait "$E2E_TASKO_PID" 2>/dev/null
  fi
  if [ -n "$E2E_WM_PID" ] && kill -0 "$E2E_WM_PID" 2>/dev/null; then
    kill "$E2E_WM_PID" 2>/dev/null
    wait "$E2E_WM_PID" 2>/dev/null
  fi
  if [ -n "$E2E_XVFB_PID" ] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
    kill "$E2E_XVFB_PID" 2>/dev/null
    e2e_wait_gone "$E2E_XVFB_PID" 3 || kill -9 "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
  fi
  if [ -n "$E2E_WORK" ] && [ -d "$E2E_WORK" ]; then
    if [ "$E2E_STATUS" -ne 0 ] && [ -d "$BUILD_DIR" ]; then
      local keep=$BUILD_DIR/e2e-failures/$E2E_NAME
      rm -rf "$keep"
      mkdir -p "$keep"
      cp "$E2E_WORK"/*.png "$E2E_WORK"/*.out "$E2E_WORK"/*.txt "$E2E_WORLD"/*.log "$keep/" 2>/dev/null
      echo "[$E2E_NAME] screenshots and logs kept in $keep" >&2
    fi
    rm -rf "$E2E_WORK"
  fi
}

# e2e_wait_gone PID SECONDS: true when the process has ended within the time.
e2e_wait_gone() {
  local pid=$1 limit=$2 waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$waited" -ge $((limit * 10)) ]; then
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  return 0
}

e2e_require_tools() {
  local tool
  for tool in Xvfb xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null 2>&1 || e2e_fail "the tool '$tool' is not installed"
  done
}

# Starts a private X server (screen E2E_SCREEN) on a free display; the server picks the number
# itself and reports it, so tests running in parallel never race for a display.
e2e_start_xvfb() {
  local fdfile=$E2E_WORK/display-number
  : >"$fdfile"
  # -noreset: by default the server resets when its last client leaves, and a client that
  # connects during that reset ends up without its windows (seen as a missing engine window).
  # E2E_XVFB_RESET=1 keeps that default, for a test of programs started on such a server.
  local reset=-noreset
  [ "${E2E_XVFB_RESET:-}" = 1 ] && reset=""
  Xvfb -displayfd 3 $reset -screen 0 "$E2E_SCREEN" -nolisten tcp 3>"$fdfile" >"$E2E_WORK/xvfb.out" 2>&1 &
  E2E_XVFB_PID=$!
  local tries=0
  while ! grep -q '[0-9]' "$fdfile" 2>/dev/null; do
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.out")"
    [ "$tries" -lt 200 ] || e2e_fail "Xvfb did not report a display within 20 s"
    sleep 0.1
    tries=$((tries + 1))
  done
  DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
  export DISPLAY
  xdotool getmouselocation >/dev/null 2>&1 || e2e_fail "cannot talk to the X server on $DISPLAY"
  e2e_log "X server on $DISPLAY"
}

# e2e_start_wm: starts openbox, with its stock configuration, on the test's X server and waits
# until it manages the screen. From then on the window manager decides about stacking and
# focus, and its key bindings (Alt+Escape among them) take keys before any program.
e2e_start_wm() {
  [ -z "$E2E_WM_PID" ] || return 0
  command -v openbox >/dev/null 2>&1 || e2e_fail "the window manager openbox is not installed"
  mkdir -p "$E2E_WORK/wm-config"
  XDG_CONFIG_HOME=$E2E_WORK/wm-config openbox --sm-disable >"$E2E_WORK/openbox.out" 2>&1 &
  E2E_WM_PID=$!
  local tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    kill -0 "$E2E_WM_PID" 2>/dev/null || e2e_fail "openbox did not start: $(cat "$E2E_WORK/openbox.out")"
    [ "$tries" -lt 100 ] || e2e_fail "openbox did not take the screen within 10 s"
    sleep 0.1
    tries=$((tries + 1))
  done
  e2e_log "window manager openbox runs"
}

# e2e_geometry WINDOW: sets X, Y, WIDTH and HEIGHT to the window's client area on the screen.
# (xdotool's own geometry counts a window manager's frame twice.)
e2e_geometry() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "X=" $NF} /Absolute upper-left Y/ {print "Y=" $NF}
    /Width:/ {print "WIDTH=" $NF} /Height:/ {print "HEIGHT=" $NF}')"
}

# e2e_begin: temporary directory with a copy of the demo world in $E2E_WORLD, X server, and the
# cleanup trap. Fails at once when the engine binary is missing.
e2e_begin() {
  e2e_require_tools
  [ -x "$TASKO" ] || e2e_fail "engine binary not found or not executable: $TASKO"
  [ -f "$SOURCE_DIR/demo/CORE/ini.crc" ] || e2e_fail "demo world missing under $SOURCE_DIR/demo"
  E2E_WORK=$(mktemp -d) || e2e_fail "mktemp failed"
  trap e2e_cleanup EXIT
  trap 'exit 1' INT TERM
  E2E_WORLD=$E2E_WORK/world
  e2e_fresh_world
  e2e_start_xvfb
  # E2E_WM=openbox runs any test under the window manager (the desktop tests always are).
  [ "${E2E_WM:-}" = openbox ] && e2e_start_wm
  export SDL_AUDIODRIVER=dummy
}

# e2e_install STAGE: installs the build tree below the staging directory STAGE.
e2e_install() {
  cmake --install "$BUILD_DIR" --prefix "$1" >"$E2E_WORK/install.txt" 2>&1 ||
    e2e_fail "cmake --install failed: $(tail -n 5 "$E2E_WORK/install.txt")"
}

# Replaces $E2E_WORLD by a new copy of the demo world.
e2e_fresh_world() {
  rm -rf "$E2E_WORLD"
  mkdir -p "$E2E_WORLD"
  cp -R "$SOURCE_DIR/demo/." "$E2E_WORLD/" || e2e_fail "cannot copy the demo world"
  rm -f "$E2E_WORLD/error.log" "$E2E_WORLD/warnings.log"
}

# Starts the engine in the world directory, in the background, with the given arguments (if
# any); output goes to tasko-N.out.
E2E_RUNS=0
e2e_start_tasko() {
  E2E_RUNS=$((E2E_RUNS + 1))
  (cd "$E2E_WORLD" && exec "$TASKO" "$@") >"$E2E_WORK/tasko-$E2E_RUNS.out" 2>&1 &
  E2E_TASKO_PID=$!
  e2e_log "started tasko (pid $E2E_TASKO_PID)"
}

e2e_tasko_running() { [ -n "$E2E_TASKO_PID" ] && kill -0 "$E2E_TASKO_PID" 2>/dev/null; }

# e2e_wait_exit SECONDS: waits for the engine to end and sets E2E_EXIT to its exit code;
# fails when it is still running after the time.
e2e_wait_exit() {
  local limit=$1
  e2e_wait_gone "$E2E_TASKO_PID" "$limit" || e2e_fail "tasko still runs ${limit} s after it was asked to end"
  wait "$E2E_TASKO_PID"
  E2E_EXIT=$?
  E2E_TASKO_PID=""
}

# e2e_find_window REGEX: ids of the shown windows whose name matches (may print nothing). The
# window tree comes from xwininfo: xdotool's name search skips windows whose WM_NAME is of type
# UTF8_STRING, which is how SDL names its message boxes. A hidden window counts as gone (Wine
# keeps the X window of a hidden window and unmaps it; FLTK destroys it).
e2e_find_window() {
  local regex=$1 id name
  xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-fA-F]*\) "\(.*\)": .*/\1 \2/p' |
    while read -r id name; do
      if [[ $name =~ $regex ]] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        echo "$((id))"
      fi
    done
}

# e2e_wait_window REGEX SECONDS: sets E2E_WINDOW to the id of the first window whose name
# matches; fails when none appears within the time or the engine ends meanwhile.
e2e_wait_window() {
  local regex=$1 limit=$2 tries=0 ids
  while :; do
    ids=$(e2e_find_window "$regex")
    if [ -n "$ids" ]; then
      E2E_WINDOW=$(echo "$ids" | head -n 1)
      return 0
    fi
    if ! e2e_tasko_running; then
      local output
      output=$(ls -t "$E2E_WORK"/tasko-*.out "$E2E_WORK"/plom-*.out 2>/dev/null | head -n 1)
      e2e_fail "the program ended before a window named '$regex' appeared; its output: $(cat "$output" 2>/dev/null)"
    fi
    if [ "$tries" -ge $((limit * 10)) ]; then
      e2e_diagnose
      e2e_fail "no window named '$regex' appeared within $limit s"
    fi
    sleep 0.1
    tries=$((tries + 1))
  done
}

# Keeps the window tree and the engine's stacks next to the other failure files.
e2e_diagnose() {
  xwininfo -root -tree >"$E2E_WORK/windows.txt" 2>&1
  if e2e_tasko_running && command -v gdb >/dev/null 2>&1; then
    gdb -p "$E2E_TASKO_PID" -batch -ex 'thread apply all bt' >"$E2E_WORK/tasko-stacks.txt" 2>&1
  fi
}

# e2e_wait_no_window REGEX SECONDS: true when no window name matches any more within the time.
# (Window ids are no proof: a program's next window may reuse the id of the one it closed.)
e2e_wait_no_window() {
  local regex=$1 limit=$2 tries=0
  while [ -n "$(e2e_find_window "$regex")" ]; do
    [ "$tries" -lt $((limit * 10)) ] || return 1
    sleep 0.1
    tries=$((tries + 1))
  done
  return 0
}

# e2e_wait_world_window: waits for the engine's window titled exactly KORVANE (sets E2E_WINDOW).
e2e_wait_world_window() { e2e_wait_window '^KORVANE$' 20; }

# e2e_quit_engine: holds Escape and left Alt until the engine ends; checks exit code 0.
e2e_quit_engine() {
  xdotool mousemove 640 512
  xdotool keydown Escape
  xdotool keydown Alt_L
  e2e_wait_gone "$E2E_TASKO_PID" 10
  local gone=$?
  xdotool keyup Alt_L
  xdotool keyup Escape
  [ "$gone" -eq 0 ] || e2e_fail "tasko did not end within 10 s of Escape + left Alt"
  e2e_wait_exit 1
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "tasko ended with exit code $E2E_EXIT instead of 0"
}

# e2e_screenshot FILE: the whole screen as a PNG.
e2e_screenshot() {
  import -window root "$1" 2>"$E2E_WORK/import.out" || e2e_fail "screenshot failed: $(cat "$E2E_WORK/import.out")"
}

# e2e_box_rgb IMAGE X Y SIZE: the mean colour "R G B" (0..255) of the SIZE x SIZE box whose
# top-left pixel is (X, Y).
e2e_box_rgb() {
  local image=$1 x=$2 y=$3 size=$4
  convert "$image" -crop "${size}x${size}+${x}+${y}" +repage -format \
    '%[fx:round(255*mean.r)] %[fx:round(255*mean.g)] %[fx:round(255*mean.b)]' info:
}

# e2e_pixel_rgb IMAGE X Y: the colour "R G B" of one pixel.
e2e_pixel_rgb() {
  convert "$1" -format "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info:
}

# e2e_rgb_close "R G B" "R G B" TOLERANCE: true when no channel differs by more than TOLERANCE.
e2e_rgb_close() {
  local -a a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  [ "${#a[@]}" -eq 3 ] && [ "${#b[@]}" -eq 3 ] || return 1
  local i d
  for i in 0 1 2; do
    d=$((a[i] - b[i]))
    [ "${d#-}" -le "$3" ] || return 1
  done
  return 0
}

# e2e_rgb_add "R G B" "R G B": channel sums, each limited to 255 (additive blending).
e2e_rgb_add() {
  local -a a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  local r=$((a[0] + b[0])) g=$((a[1] + b[1])) bl=$((a[2] + b[2]))
  echo "$((r > 255 ? 255 : r)) $((g > 255 ? 255 : g)) $((bl > 255 ? 255 : bl))"
}

# e2e_wait_for_file_text FILE TEXT SECONDS: true when FILE contains TEXT within the time.
e2e_wait_for_file_text() {
  local file=$1 text=$2 limit=$3 tries=0
  until [ -f "$file" ] && grep -qF -- "$text" "$file"; do
    [ "$tries" -lt $((limit * 10)) ] || return 1
    sleep 0.1
    tries=$((tries + 1))
  done
  return 0
}

# Probes of the demo map, all on static tiles away from the moving beetles, the hero, the fan,
# the mouse dot and the frame-rate text. The map's MAPSTART marker lies at (0, 0) and the
# screen has the map's source size, so a map position is a screen position and a tile's
# pixels appear unscaled. Each row: label, screen x, screen y, tile graphic, x and y in it.
E2E_DEMO_PROBES=(
  "floor slab|560|160|floor|48|32"
  "brick of the wall stub|648|133|wall|8|5"
  "plank of a crate|202|164|crate|10|36"
  "floor where the layer 9 crate would be|592|592|floor|80|80"
)
E2E_PROBE_SIZE=5

# e2e_check_demo_tiles SHOT EXTENSION TOLERANCE LOSSLESS: compares the probes of the demo map
# with the colours of the tile graphics GFX/*EXTENSION in the world copy (mean of a 5x5 box
# each). With LOSSLESS 1 it also checks a white corner of a barrel, which must show the floor,
# and the lamp glow, which must be the sum of floor and glow (blending 5x2). Returns 1 and
# leaves the mismatches in E2E_PROBE_REPORT when any probe is off.
e2e_check_demo_tiles() {
  local shot=$1 ext=$2 tol=$3 lossless=$4
  local gfx=$E2E_WORLD/GFX row label sx sy tile tx ty got want
  E2E_PROBE_REPORT=""
  for row in "${E2E_DEMO_PROBES[@]}"; do
    IFS='|' read -r label sx sy tile tx ty <<<"$row"
    got=$(e2e_box_rgb "$shot" "$sx" "$sy" "$E2E_PROBE_SIZE")
    want=$(e2e_box_rgb "$gfx/$tile$ext" "$tx" "$ty" "$E2E_PROBE_SIZE")
    e2e_rgb_close "$got" "$want" "$tol" ||
      E2E_PROBE_REPORT+="  $label at ($sx,$sy): screen $got, expected $want (from $tile$ext at $tx,$ty)"$'\n'
  done
  if [ "$lossless" -eq 1 ]; then
    # The barrel at (448,768): its lower right corner is pure white, the floor shows through.
    local corner
    corner=$(e2e_box_rgb "$gfx/barrel$ext" 59 59 "$E2E_PROBE_SIZE")
    [ "$corner" = "255 255 255" ] ||
      E2E_PROBE_REPORT+="  barrel$ext corner is $corner, not white: the probe needs new coordinates"$'\n'
    got=$(e2e_box_rgb "$shot" 507 827 "$E2E_PROBE_SIZE")
    want=$(e2e_box_rgb "$gfx/floor$ext" 123 59 "$E2E_PROBE_SIZE")
    e2e_rgb_close "$got" "$want" "$tol" ||
      E2E_PROBE_REPORT+="  floor through the white corner of a barrel at (507,827): screen $got, expected $want"$'\n'
    # The lamp glow at (352,416) is added to the floor tile at (384,384).
    local floor glow
    floor=$(e2e_box_rgb "$gfx/floor$ext" 8 96 "$E2E_PROBE_SIZE")
    glow=$(e2e_box_rgb "$gfx/lampglow$ext" 40 64 "$E2E_PROBE_SIZE")
    want=$(e2e_rgb_add "$floor" "$glow")
    got=$(e2e_box_rgb "$shot" 392 480 "$E2E_PROBE_SIZE")
    e2e_rgb_close "$got" "$want" "$tol" ||
      E2E_PROBE_REPORT+="  lamp glow added to the floor at (392,480): screen $got, expected $want (floor $floor + glow $glow)"$'\n'
  fi
  [ -z "$E2E_PROBE_REPORT" ]
}

# e2e_wait_demo_drawn EXTENSION TOLERANCE LOSSLESS SECONDS: takes screenshots until the demo
# map's probes all match (the area is loaded at the end of the first frame, so the first
# screenshots may show an empty world); fails with the last mismatches after the time.
e2e_wait_demo_drawn() {
  local ext=$1 tol=$2 lossless=$3 limit=$4 start=$SECONDS n=0 shot
  while :; do
    n=$((n + 1))
    shot=$E2E_WORK/shot-run$E2E_RUNS-$n.png
    e2e_screenshot "$shot"
    if e2e_check_demo_tiles "$shot" "$ext" "$tol" "$lossless"; then
      E2E_SHOT=$shot
      return 0
    fi
    e2e_tasko_running || e2e_fail "tasko ended while the demo area was expected on screen"
    if [ $((SECONDS - start)) -ge "$limit" ]; then
      e2e_fail "the demo area is not drawn as expected after $limit s:"$'\n'"$E2E_PROBE_REPORT"
    fi
    rm -f "$shot"
    sleep 1
  done
}

# e2e_count_rgb IMAGE X Y WIDTH HEIGHT "R G B": how many pixels of the rectangle are within a
# small distance (8%) of the colour (the solid cores of text glyphs and outlines).
e2e_count_rgb() {
  local image=$1 x=$2 y=$3 w=$4 h=$5 colour
  colour="rgb($(echo "$6" | tr ' ' ','))"
  convert "$image" -crop "${w}x${h}+${x}+${y}" +repage -fuzz 8% -fill black +opaque "$colour" \
    -fill white -opaque "$colour" -format '%[fx:round(mean*w*h)]' info:
}

# e2e_press "MODIFIERS" KEY: holds the modifier keys (xdotool names, may be empty), presses and
# releases KEY, then lets the modifiers go; each step is held long enough for several frames.
e2e_press() {
  local modifier
  for modifier in $1; do xdotool keydown "$modifier"; done
  sleep 0.3
  xdotool keydown "$2"
  sleep 0.3
  xdotool keyup "$2"
  sleep 0.3
  for modifier in $1; do xdotool keyup "$modifier"; done
}

# e2e_same_area A B X Y WIDTH HEIGHT: true when the rectangle is identical in both screenshots.
e2e_same_area() {
  local a b
  a=$(convert "$1" -crop "${5}x${6}+${3}+${4}" +repage rgb:- | md5sum)
  b=$(convert "$2" -crop "${5}x${6}+${3}+${4}" +repage rgb:- | md5sum)
  [ "$a" = "$b" ]
}

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
