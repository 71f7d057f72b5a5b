#!/usr/bin/env bash
# A MAXTILES whose placed-tile table cannot be allocated: plom says so at start-up in its error
# box (and on its error output), naming the value and the memory the table needs, and ends with
# exit code 0 once the box is closed; no fault entry and no crash backup are written. plom runs
# with its address space limited, so the allocation fails at once on any machine.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
script=$E2E_WORLD/_DATA/script.txt
# Groups of key, comment, value, empty line: the value is two lines after the key.
awk '{ sub(/\r$/, "") } n && !--n { $0 = "2147483647" } $0 == "MAXTILES" { n = 2 } { printf "%s\r\n", $0 }' \
  "$script" >"$script.new" && mv "$script.new" "$script"
tr -d '\r' <"$script" | grep -A2 -x MAXTILES | grep -qx 2147483647 || e2e_fail "MAXTILES could not be set"
cat >"$E2E_WORK/limited-plom" <<LIMIT
#!/bin/sh
ulimit -v 8388608
exec "$PLOM" "\$@"
LIMIT
chmod +x "$E2E_WORK/limited-plom"
PLOM=$E2E_WORK/limited-plom

plom_start
plom_answer_box '^MAP BUILDER ERROR:$' Return
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "plom ended with exit code $E2E_EXIT instead of 0"
out=$E2E_WORK/plom-$E2E_RUNS.out
grep -q 'MAXTILES 2147483647 needs [0-9]* GiB of memory for the placed-tile table' "$out" ||
  e2e_fail "no message naming MAXTILES and its memory: $(cat "$out")"
grep -q '_DATA/script.txt' "$out" || e2e_fail "the message does not name the file to change"
[ ! -e "$E2E_WORLD/USER/ERR!!!!.txt" ] || e2e_fail "a fault entry was written: $(cat "$E2E_WORLD/USER/ERR!!!!.txt")"
! ls "$E2E_WORLD"/USER/_LAZARUS* >/dev/null 2>&1 || e2e_fail "a crash backup was written"
e2e_log "$(grep -o 'MAXTILES 2147483647 needs [0-9]* GiB' "$out"): told in the error box, exit code 0, no fault entry"
e2e_pass
