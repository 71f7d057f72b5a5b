#!/usr/bin/env bash
# Command lines of both programs and their outcomes: the exit code, what is printed, whether a
# window opens and whether anything is written. Programs that must not open a window run with
# no display at all, so any attempt to open one would end them another way. Given a world
# directory, each program runs on it as if started there (logs, undo files and all stay in it).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
elsewhere=$E2E_WORK/elsewhere
mkdir -p "$elsewhere"
W=$E2E_WORLD

# state DIR: a fingerprint of every file below DIR (names, sizes, times).
state() { find "$1" -printf '%P %s %T@\n' | LC_ALL=C sort | md5sum; }

# Each row: program|arguments|exit code|standard output matches|standard error matches
rows=(
  "tasko|--help|0|^usage: tasko|^$"
  "plom|--help|0|^usage: plom|^$"
  "tasko|-h $W|0|--new-world DIR|^$"
  "tasko|--version|0|^tasko [0-9]+\.[0-9]+\.[0-9]+$|^$"
  "plom|--version|0|^plom [0-9]+\.[0-9]+\.[0-9]+$|^$"
  "tasko|--bogus|2|^$|^tasko: unknown option '--bogus'"
  "plom|--map x.dll $W|2|^$|^plom: unknown option '--map'"
  "tasko|$W extra|2|^$|^tasko: extra argument 'extra'"
  "plom|$W extra|2|^$|^plom: extra argument 'extra'"
  "tasko|$E2E_WORK/missing|2|^$|^tasko: the world directory '.*missing' does not exist"
  "plom|$E2E_WORK/missing|2|^$|^plom: the world directory '.*missing' does not exist"
  "tasko|--map|2|^$|^tasko: the option --map needs a value"
  "tasko|--new-world $W|2|^$|^tasko: the directory '.*' is not empty; nothing was written"
)
for row in "${rows[@]}"; do
  IFS='|' read -r program arguments want_code want_out want_err <<<"$row"
  binary=$TASKO
  [ "$program" = plom ] && binary=$PLOM
  before_world=$(state "$W")
  before_here=$(state "$elsewhere")
  # shellcheck disable=SC2086  # the arguments are words
  (cd "$elsewhere" && DISPLAY='' timeout 20 "$binary" $arguments) >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt"
  code=$?
  [ "$code" -eq "$want_code" ] || e2e_fail "$program $arguments: exit code $code, expected $want_code"
  # "^$" asks for an empty output; any other pattern for a matching line.
  if [ "$want_out" = '^$' ]; then
    [ ! -s "$E2E_WORK/out.txt" ]
  else
    grep -Eq -- "$want_out" "$E2E_WORK/out.txt"
  fi || e2e_fail "$program $arguments: standard output '$(cat "$E2E_WORK/out.txt")' does not match '$want_out'"
  first_err=$(head -n 1 "$E2E_WORK/err.txt")
  [[ $first_err =~ $want_err ]] || e2e_fail "$program $arguments: first error line '$first_err' does not match '$want_err'"
  if [ "$want_err" = '^$' ] && [ -s "$E2E_WORK/err.txt" ]; then
    e2e_fail "$program $arguments: unexpected error output '$(cat "$E2E_WORK/err.txt")'"
  fi
  # A faulty command line is followed by the usage; a refused new-world directory only says so.
  if [ "$want_code" -eq 2 ] && [[ $want_err != *"not empty"* ]]; then
    grep -q "^usage: $program" "$E2E_WORK/err.txt" || e2e_fail "$program $arguments: no usage after the error line"
  fi
  [ "$(state "$W")" = "$before_world" ] && [ "$(state "$elsewhere")" = "$before_here" ] ||
    e2e_fail "$program $arguments: something was written"
  e2e_log "$program $arguments: exit code $code as expected"
done

# With a world directory the programs open their windows on it, started from elsewhere.
before_here=$(state "$elsewhere")
E2E_RUNS=$((E2E_RUNS + 1))
(cd "$elsewhere" && exec "$TASKO" "$W") >"$E2E_WORK/tasko-$E2E_RUNS.out" 2>&1 &
E2E_TASKO_PID=$!
e2e_wait_world_window
e2e_wait_demo_drawn .png 6 1 20
e2e_quit_engine
e2e_log "tasko WORLD: the demo area drawn, exit code 0"

E2E_RUNS=$((E2E_RUNS + 1))
(cd "$elsewhere" && exec "$PLOM" "$W/") >"$E2E_WORK/plom-$E2E_RUNS.out" 2>&1 &
E2E_TASKO_PID=$!
plom_wait_windows
plom_pick_tile "$(plom_tile_index crate)"
plom_keys c
plom_click 1000 800  # a snapshot goes to the world's USER directory
e2e_wait_for_file_text "$W/USER/UNDO_0" "crate" 10 || e2e_fail "plom WORLD wrote no undo snapshot into the world"
plom_quit
[ "$(state "$elsewhere")" = "$before_here" ] || e2e_fail "a program run on a world directory wrote into its starting directory"
e2e_log "plom WORLD: its undo snapshot is in the world, exit code 0"
e2e_pass
