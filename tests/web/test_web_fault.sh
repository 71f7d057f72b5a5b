#!/usr/bin/env bash
# A fault inside the engine in the page (an access past the end of the wasm memory in the
# drawing, from the fault test program): the engine's fault routine writes its entry to the
# error log as on the desktop (nine CR LF lines, the fault named, module and line), the page
# shows the fatal text and the entry, and the console has it too.
source "$(dirname "$0")/web_lib.sh"

web_begin
fault_program=$WEB_BUILD/test/tasko_draw_fault
[ -s "$fault_program.js" ] || e2e_fail "the fault test program is not built: $fault_program.js"
site=$E2E_WORK/site
web_pack "$E2E_WORLD" "$site"
cp "$fault_program.js" "$fault_program.wasm" "$site/"
sed -i 's/"tasko\.js"/"tasko_draw_fault.js"/' "$site/index.html"
grep -q tasko_draw_fault.js "$site/index.html" || e2e_fail "the page does not load a runtime named tasko.js"
web_open "$site"
web_wait_running 60
web_eval 'Module._TaskoRequestDrawFault()'
web_wait 10 'taskoPage.state === "fault"' || e2e_fail "the page did not report the fault (state $WEB_VALUE)"
log=$E2E_WORK/error.log
web_file /world/error.log "$log"
[ "$(grep -c 'ACCESS VIOLATION (SIGSEGV)'$'\r''$' "$log")" -eq 1 ] || e2e_fail "the entry lacks the fault line: $(cat -A "$log")"
[ "$(grep -cE '^Module:[A-Za-z_]+ AT LINE:[0-9]+'$'\r''$' "$log")" -eq 1 ] || e2e_fail "the entry lacks the module line"
[ "$(grep -c '^FATAL ERROR,CAN NOT CONTINUE KORVANE_CORE, PLEASE CONTACT DEVELOPER'$'\r''$' "$log")" -eq 1 ] ||
  e2e_fail "the entry lacks its closing text"
[ "$(wc -l <"$log")" -eq 9 ] || e2e_fail "the error log has $(wc -l <"$log") lines, expected 9"
text=$(web_text 'document.getElementById("status").innerText')
[[ $text == "The world stopped with a fault"*"ACCESS VIOLATION (SIGSEGV)"*"FATAL ERROR,CAN NOT CONTINUE KORVANE_CORE"* ]] ||
  e2e_fail "the page does not show the fatal text: $text"
web_console_has "ACCESS VIOLATION (SIGSEGV)" || e2e_fail "the entry is not in the console"
e2e_log "fault entry written and shown: $(sed -n 4p "$log" | tr -d '\r')"
e2e_pass
