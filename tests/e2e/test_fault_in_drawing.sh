#!/usr/bin/env bash
# A fault that strikes inside drawing (the GL flush of a frame, the context current, on the real
# SDL and FLTK backends) still ends each program with its log entry, and plom with its crash
# backup, and exit code 0 within 10 seconds. plom's fatal-error box closes by itself when nobody
# answers it. The programs are the test builds with a drawing hook that faults after SIGUSR1.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

TASKO_DRAW_FAULT=${TASKO_DRAW_FAULT:-$BUILD_DIR/tests/tasko_draw_fault}
PLOM_DRAW_FAULT=${PLOM_DRAW_FAULT:-$BUILD_DIR/tests/plom_draw_fault}
[ -x "$TASKO_DRAW_FAULT" ] && [ -x "$PLOM_DRAW_FAULT" ] || e2e_fail "the draw-fault test programs are not built"

e2e_begin

# The engine: a frame's flush faults; the entry is written and the process ends at once.
TASKO=$TASKO_DRAW_FAULT
log=$E2E_WORLD/$(tr -d '\r' <"$E2E_WORLD/CORE/ini.crc" | awk 'prev == "ERRORPATH" { print; exit } { prev = $0 }')
e2e_start_tasko
e2e_wait_world_window
sleep 1  # frames are running
kill -USR1 "$E2E_TASKO_PID"
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "tasko ended with exit code $E2E_EXIT after a fault inside drawing"
[ "$(grep -c 'ACCESS VIOLATION (SIGSEGV)' "$log" 2>/dev/null)" = 1 ] || e2e_fail "tasko wrote no SIGSEGV entry"
e2e_log "tasko: entry written, exit code 0"

# plom: the redraw after a mouse move faults. Once the box is answered, once it is left open.
PLOM=$PLOM_DRAW_FAULT
plog=$E2E_WORLD/USER/ERR!!!!.txt
shopt -s nullglob
for answer in Return none; do
  plom_start
  plom_wait_windows
  sleep 1  # keeps the backups' names (seconds) apart
  kill -USR1 "$E2E_TASKO_PID"
  xdotool mousemove --window "$PLOM_MAIN" 700 500 sleep 0.2 mousemove --window "$PLOM_MAIN" 710 505
  started=$(date +%s)
  e2e_wait_window '^QUENT BUILDER FATAL ERROR:$' 10
  if [ "$answer" = Return ]; then
    plom_answer_box '^QUENT BUILDER FATAL ERROR:$' Return
  fi
  e2e_wait_exit 12
  took=$(($(date +%s) - started))
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom ($answer) ended with exit code $E2E_EXIT after a fault inside drawing"
  [ "$took" -le 10 ] || e2e_fail "plom ($answer) took $took s to end after the fault"
  e2e_log "plom ($answer): ended with exit code 0 after $took s"
done
[ "$(tr -d '\r' <"$plog" | grep -c '^WHAT: ACCESS VIOLATION (SIGSEGV)$')" -eq 2 ] || e2e_fail "plom's log lacks its two SIGSEGV entries"
backups=("$E2E_WORLD"/USER/_LAZARUS*)
[ "${#backups[@]}" -eq 2 ] || e2e_fail "${#backups[@]} crash backups, expected 2"
for backup in "${backups[@]}"; do
  cmp -s "$backup" "$E2E_WORLD/1" || e2e_fail "the crash backup $(basename "$backup") does not hold the demo map"
done
e2e_pass
