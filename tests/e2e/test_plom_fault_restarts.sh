#!/usr/bin/env bash
# plom starts again and again in a world where it has just ended through its fault path: 52 runs,
# each a start (its three windows within the usual 20 s) and a fault while the map is being
# redrawn (a signal sent by kill during pointer moves over the map, or an access violation inside
# the GL flush of a redraw), the fatal-error box answered (or, when the fault struck where no box
# can be built, the watchdog's end), exit code 0. The crash backups and
# the log of all earlier runs stay in the world. Each run's log entry names its fault, and the
# slowest start is reported.
# The X server resets whenever plom, its only lasting client, has ended, as a bare Xvfb or Xorg
# does, and the next start comes straight after, while the server may still refuse connections.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

PLOM_DRAW_FAULT=${PLOM_DRAW_FAULT:-$BUILD_DIR/tests/plom_draw_fault}
[ -x "$PLOM_DRAW_FAULT" ] || e2e_fail "the draw-fault test program is not built"
RUNS=${PLOM_FAULT_RUNS:-52}
PLAIN_PLOM=$PLOM

# The faults, one per run in turn: the signal sent, the program that gets it and its log's WHAT.
FAULTS=(
  "SEGV|plain|ACCESS VIOLATION (SIGSEGV)"
  "USR1|draw-fault|ACCESS VIOLATION (SIGSEGV)"
  "FPE|plain|ARITHMETIC FAULT (SIGFPE)"
  "BUS|plain|BUS ERROR (SIGBUS)"
  "ILL|plain|ILLEGAL INSTRUCTION (SIGILL)"
  "ABRT|plain|ABORT (SIGABRT)"
)

E2E_XVFB_RESET=1
e2e_begin
log=$E2E_WORLD/USER/ERR!!!!.txt
shopt -s nullglob
slowest=0
slowest_run=0
boxes=0
for ((run = 1; run <= RUNS; run++)); do
  IFS='|' read -r signal program what <<<"${FAULTS[$(((run - 1) % ${#FAULTS[@]}))]}"
  PLOM=$PLAIN_PLOM
  [ "$program" = draw-fault ] && PLOM=$PLOM_DRAW_FAULT
  started=$(date +%s%N)
  plom_start
  plom_wait_windows  # fails, with the process's stacks kept, when a start shows no window
  took=$((($(date +%s%N) - started) / 1000000))
  if [ "$took" -gt "$slowest" ]; then
    slowest=$took
    slowest_run=$run
  fi
  # Pointer moves over the map redraw it; the fault comes in the middle of them.
  (for step in $(seq 15); do xdotool mousemove --window "$PLOM_MAIN" $((600 + 3 * step)) 500; sleep 0.01; done) &
  mover=$!
  sleep 0.05
  kill -"$signal" "$E2E_TASKO_PID"
  wait "$mover"
  # A signal that comes while the program is inside the C library's allocator leaves a box that
  # cannot be built: the fault path's watchdog then ends the process within its 8 s.
  for _ in $(seq 100); do
    [ -n "$(e2e_find_window '^QUENT BUILDER FATAL ERROR:$')" ] && break
    e2e_tasko_running || break
    sleep 0.1
  done
  if e2e_tasko_running && [ -n "$(e2e_find_window '^QUENT BUILDER FATAL ERROR:$')" ]; then
    plom_answer_box '^QUENT BUILDER FATAL ERROR:$' Return
    boxes=$((boxes + 1))
  fi
  e2e_wait_exit 12
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "run $run ($signal): plom ended with exit code $E2E_EXIT instead of 0"
  entries=$(tr -d '\r' <"$log" | grep -c '^ZEFA ERROR INFO: DATE: ')
  [ "$entries" -eq "$run" ] || e2e_fail "run $run ($signal): the log holds $entries entries, expected $run"
  last_what=$(tr -d '\r' <"$log" | grep '^WHAT: ' | tail -n 1)
  [ "$last_what" = "WHAT: $what" ] || e2e_fail "run $run ($signal): the last entry says '$last_what', expected 'WHAT: $what'"
  backups=("$E2E_WORLD"/USER/_LAZARUS*)
  [ "${#backups[@]}" -ge 1 ] || e2e_fail "run $run ($signal): no crash backup"
  newest=$(ls -t "${backups[@]}" | head -n 1)
  cmp -s "$newest" "$E2E_WORLD/1" || e2e_fail "run $run ($signal): the crash backup $(basename "$newest") does not hold the demo map"
done
e2e_log "$RUNS starts in $SECONDS s, $((RUNS - 1)) of them after a fault; the slowest showed its windows after $slowest ms (run $slowest_run); $boxes boxes answered"
e2e_pass
