#!/usr/bin/env bash
# A SIGSEGV sent to a running plom appends the seven-line entry to USER/ERR!!!!.txt, writes the
# crash backup USER/_LAZARUS<date> holding the map, shows the fatal-error box and ends with
# exit code 0 once it is closed; five times in a row, each within a few seconds.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
printf 'earlier entry\r\n' >"$E2E_WORLD/USER/ERR!!!!.txt"
log=$E2E_WORLD/USER/ERR!!!!.txt
shopt -s nullglob
for run in 1 2 3 4 5; do
  plom_start
  plom_wait_windows
  sleep 1  # also keeps the backups' names (seconds) apart
  kill -SEGV "$E2E_TASKO_PID"
  plom_answer_box '^QUENT BUILDER FATAL ERROR:$' Return
  e2e_wait_exit 10
  [ "$E2E_EXIT" -eq 0 ] || e2e_fail "run $run: plom ended with exit code $E2E_EXIT instead of 0"
  lines=$(wc -l <"$log")
  [ "$lines" -eq $((1 + 7 * run)) ] || e2e_fail "run $run: the error log has $lines lines, expected 1 + 7 x $run"
  backups=("$E2E_WORLD"/USER/_LAZARUS*)
  [ "${#backups[@]}" -eq "$run" ] || e2e_fail "run $run: ${#backups[@]} crash backups, expected $run"
  for backup in "${backups[@]}"; do
    cmp -s "$backup" "$E2E_WORLD/1" || e2e_fail "run $run: the crash backup $(basename "$backup") does not hold the demo map"
  done
  e2e_log "run $run: entry, backup and exit code 0"
done

# The first entry, line by line (the others are counted above and have the same form).
tr -d '\r' <"$log" | sed -n 2p | grep -Eq '^ZEFA ERROR INFO: DATE: [0-9]{2}:[0-9]{2}:[0-9]{2}   [0-9]{4},[0-9]{2},[0-9]{2}$' ||
  e2e_fail "unexpected first line of the entry: $(sed -n 2p "$log")"
tr -d '\r' <"$log" | sed -n 5p | grep -q '^WHAT: .*SIGSEGV' || e2e_fail "no WHAT line naming the fault"
[ "$(tr -d '\r' <"$log" | tail -n 3 | tr '\n' ' ')" = "- - - " ] || e2e_fail "the entry does not end with three '-' lines"
[ "$(tr -d '\r' <"$log" | grep -c '^ZEFA ERROR INFO: DATE: ')" -eq 5 ] || e2e_fail "the log does not hold five entries"
e2e_pass
