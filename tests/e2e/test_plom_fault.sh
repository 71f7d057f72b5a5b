#!/usr/bin/env bash
# A SIGSEGV sent to a running plom appends the seven-line entry to USER/ERR!!!!.txt, writes the
# crash backup USER/_LAZARUS<date> holding the map, shows the fatal-error box and ends with
# exit code 0 once it is closed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
printf 'earlier entry\r\n' >"$E2E_WORLD/USER/ERR!!!!.txt"
plom_start
plom_wait_windows
sleep 1
kill -SEGV "$E2E_TASKO_PID"
plom_answer_box '^QUENT BUILDER FATAL ERROR:$' Return
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom ended with exit code $E2E_EXIT instead of 0"

log=$E2E_WORLD/USER/ERR!!!!.txt
lines=$(wc -l <"$log")
[ "$lines" -eq 8 ] || e2e_fail "the error log has $lines lines, expected 1 + 7: $(cat "$log")"
tr -d '\r' <"$log" | sed -n 2p | grep -Eq '^ZEFA ERROR INFO: DATE: [0-9]{2}:[0-9]{2}:[0-9]{2}   [0-9]{4},[0-9]{2},[0-9]{2}$' ||
  e2e_fail "unexpected first line of the entry: $(sed -n 2p "$log")"
tr -d '\r' <"$log" | sed -n 5p | grep -q '^WHAT: .*SIGSEGV' || e2e_fail "no WHAT line naming the fault"
[ "$(tr -d '\r' <"$log" | tail -n 3 | tr '\n' ' ')" = "- - - " ] || e2e_fail "the entry does not end with three '-' lines"

shopt -s nullglob
backups=("$E2E_WORLD"/USER/_LAZARUS*)
[ "${#backups[@]}" -eq 1 ] || e2e_fail "expected one crash backup, found ${#backups[@]}"
cmp -s "${backups[0]}" "$E2E_WORLD/1" || e2e_fail "the crash backup does not hold the demo map"
e2e_pass
