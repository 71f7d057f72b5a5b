#!/usr/bin/env bash
# A run-time fault in the real engine (SDL window, GL on the software renderer) ends it at once:
# SIGSEGV sent to a running engine five times in a row gives five complete error log entries and
# five exits with code 0, each within a few seconds (the fault path releases nothing, so it
# cannot wait on the GL driver's lock held by the interrupted frame).
source "$(dirname "$0")/lib.sh"

e2e_begin
log=$E2E_WORLD/$(tr -d '\r' <"$E2E_WORLD/CORE/ini.crc" | awk 'prev == "ERRORPATH" { print; exit } { prev = $0 }')
[ "$log" != "$E2E_WORLD/" ] || e2e_fail "the demo configuration names no ERRORPATH"

for run in 1 2 3 4 5; do
  e2e_start_tasko
  e2e_wait_world_window
  sleep 1  # frames are running
  kill -SEGV "$E2E_TASKO_PID"
  e2e_wait_exit 5
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "run $run: tasko ended with exit code $E2E_EXIT after SIGSEGV"
  entries=$(grep -c '^KORVANE ERROR HANDLER: ERROR DATE:' "$log" 2>/dev/null)
  [ "$entries" = "$run" ] || e2e_fail "run $run: $entries fault entries in the error log, expected $run"
  e2e_log "run $run: fault entry written, exit code 0"
done

# Every entry is complete: nine CR LF lines, the signal named, the module and line given.
[ "$(grep -c 'ACCESS VIOLATION (SIGSEGV)'$'\r''$' "$log")" -eq 5 ] || e2e_fail "entries lack the SIGSEGV line"
[ "$(grep -cE '^Module:[A-Za-z_]+ AT LINE:[0-9]+'$'\r''$' "$log")" -eq 5 ] || e2e_fail "entries lack the module line"
[ "$(grep -c '^FATAL ERROR,CAN NOT CONTINUE KORVANE_CORE, PLEASE CONTACT DEVELOPER'$'\r''$' "$log")" -eq 5 ] ||
  e2e_fail "entries lack their closing text"
[ "$(wc -l <"$log")" -eq 45 ] || e2e_fail "the error log has $(wc -l <"$log") lines, expected 5 x 9"
e2e_pass
