#!/usr/bin/env bash
# First run from the desktop menu: installed into a staging directory, with an empty home, each
# desktop entry's Exec line is run as a desktop runs it (field codes dropped, from the home
# directory, the installed bin/ on the search path). tasko plays the user's copy of the demo,
# made once in ~/.local/share/tasko/demo and reused by the next run; plom opens that same copy.
# Without a world and without arguments, each program names what is missing on standard error.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
stage=$E2E_WORK/stage
e2e_install "$stage"
HOME=$E2E_WORK/home
mkdir -p "$HOME"
unset XDG_DATA_HOME
PATH="$stage/bin:/usr/local/bin:/usr/bin:/bin"
export HOME PATH
COPY=$HOME/.local/share/tasko/demo

# run_entry NAME: starts the Exec line of the installed NAME.desktop in the home directory.
run_entry() {
  local line
  line=$(sed -n 's/^Exec=//p' "$stage/share/applications/$1.desktop" | head -n 1)
  [ -n "$line" ] || e2e_fail "$1.desktop has no Exec line"
  line=$(sed -E 's/ ?%[fFuUdDnNickvm]//g' <<<"$line")
  E2E_RUNS=$((E2E_RUNS + 1))
  # shellcheck disable=SC2086  # the Exec line is split into words as a desktop does
  (cd "$HOME" && exec $line) >"$E2E_WORK/$1-$E2E_RUNS.out" 2>&1 &
  E2E_TASKO_PID=$!
  e2e_log "desktop entry $1: '$line' (pid $E2E_TASKO_PID)"
}

# The first run makes the copy and plays it; a file left in the copy survives the second run.
for run in first second; do
  run_entry tasko
  e2e_wait_world_window
  [ -f "$COPY/CORE/ini.crc" ] || e2e_fail "the $run run left no demo copy in $COPY"
  E2E_WORLD=$COPY
  e2e_wait_demo_drawn .png 6 1 20
  [ "$(readlink -f "/proc/$E2E_TASKO_PID/cwd")" = "$(readlink -f "$COPY")" ] || e2e_fail "tasko does not run in $COPY"
  e2e_quit_engine
  if [ "$run" = first ]; then
    echo "mine" >"$COPY/marker.txt"
  else
    [ -f "$COPY/marker.txt" ] || e2e_fail "the second run made the demo copy anew"
  fi
  e2e_log "$run run: tasko played the demo copy"
done
leftovers=$(ls -A "$HOME/.local/share/tasko")
[ "$leftovers" = demo ] || e2e_fail "beside the copy lie: $leftovers"

run_entry plom
plom_wait_windows
[ "$(readlink -f "/proc/$E2E_TASKO_PID/cwd")" = "$(readlink -f "$COPY")" ] || e2e_fail "plom does not edit $COPY"
plom_quit
[ -f "$COPY/marker.txt" ] || e2e_fail "plom made the demo copy anew"
e2e_log "plom opened the same copy"

# No world argument in a directory without a world: the box as before, and one line on
# standard error. Without a display the box cannot open, so only the line is left to see.
for program in tasko plom; do
  (cd "$HOME" && DISPLAY='' timeout 20 "$program") >/dev/null 2>"$E2E_WORK/err.txt"
  grep -Eq "^$program: no world here \(.*is missing\); .*'tasko --new-world DIR'.*'$program --demo'$" "$E2E_WORK/err.txt" ||
    e2e_fail "$program without a world says: $(cat "$E2E_WORK/err.txt")"
done
e2e_pass
