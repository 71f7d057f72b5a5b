#!/usr/bin/env bash
# A world without its sound: the page's warnings log has the same bytes as the native engine's
# (the date line aside), and the entry is also shown in the browser's console. Until the first
# key press or click the page says that the sound starts then, and afterwards it does not.
source "$(dirname "$0")/web_lib.sh"

web_begin
rm -rf "$E2E_WORLD/SOUND"

e2e_start_tasko
e2e_wait_world_window
e2e_wait_for_file_text "$E2E_WORLD/warnings.log" "COULD NOT FIND SOUND" 20 ||
  e2e_fail "the native engine wrote no warning about the missing sound"
e2e_quit_engine
native=$E2E_WORK/native-warnings.log
mv "$E2E_WORLD/warnings.log" "$native"
rm -f "$E2E_WORLD/error.log"

web_pack "$E2E_WORLD" "$E2E_WORK/site"
web_open "$E2E_WORK/site"
web_wait_running 60
web_wait 10 'taskoPage.logEntries.some(e => e[0] === "/world/warnings.log")' ||
  e2e_fail "the page's engine wrote no warning"
page=$E2E_WORK/page-warnings.log
web_file /world/warnings.log "$page"
undated() { sed 's/^KORVANE WARNING:DATE:.*\r$/KORVANE WARNING:DATE:(date)\r/' "$1"; }
if ! cmp -s <(undated "$native") <(undated "$page"); then
  e2e_fail "the warnings logs differ:"$'\n'"$(diff <(undated "$native" | od -c) <(undated "$page" | od -c) | head -20)"
fi
[ "$(grep -c 'KORVANE WARNING:DATE:' "$page")" -eq 1 ] || e2e_fail "the page's log does not hold one dated entry"
web_console_has "COULD NOT FIND SOUND:SOUND/#L0.wav" || e2e_fail "the warning was not shown in the console"
e2e_log "warnings log: $(wc -c <"$page") bytes, the same as natively but the date"

# The sound note: shown until the first key press, gone after it.
web_eval '!document.getElementById("sound").hidden'
[ "$WEB_VALUE" = true ] || e2e_fail "the page does not say that the sound starts at the first key press"
web_cmd keydown Space
web_cmd keyup Space
web_wait 5 'document.getElementById("sound").hidden' || e2e_fail "the sound note stayed after a key press"
e2e_pass
