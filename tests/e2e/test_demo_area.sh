#!/usr/bin/env bash
# The demo area is drawn: static tiles show their graphics at their map positions, white parts
# are transparent, the lamp glow is added to the floor and layer 9 is never built. The area's
# sound is found; without it the engine logs a warning naming the missing file and goes on.
source "$(dirname "$0")/lib.sh"

e2e_begin

# Run 1: the demo world as it is.
e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .png 6 1 20
e2e_log "demo tiles drawn as expected ($(basename "$E2E_SHOT"))"
e2e_quit_engine
if [ -f "$E2E_WORLD/warnings.log" ] && grep -q "COULD NOT FIND SOUND" "$E2E_WORLD/warnings.log"; then
  e2e_fail "warnings.log reports a missing sound although SOUND/#L0.wav exists: $(tr -d '\r' <"$E2E_WORLD/warnings.log")"
fi

# Run 2: without the sound directory the area still loads and one warning is appended.
rm -rf "$E2E_WORLD/SOUND"
e2e_start_tasko
e2e_wait_world_window
e2e_wait_for_file_text "$E2E_WORLD/warnings.log" "COULD NOT FIND SOUND:SOUND/#L0.wav" 20 ||
  e2e_fail "no warning 'COULD NOT FIND SOUND:SOUND/#L0.wav' in warnings.log within 20 s"
e2e_wait_demo_drawn .png 6 1 20
e2e_quit_engine

# The warning entry: banner, empty line, dated header, the text, empty line, banner, empty line;
# every line ended by CR LF.
log=$E2E_WORLD/warnings.log
banner='####### WARNING ######### WARNING ######## WARNING ########'
mapfile -t lines <"$log"
[ "${#lines[@]}" -eq 7 ] || e2e_fail "warnings.log has ${#lines[@]} lines, expected one entry of 7"
for i in "${!lines[@]}"; do
  [ "${lines[$i]: -1}" = $'\r' ] || e2e_fail "line $((i + 1)) of warnings.log does not end with CR LF"
  lines[$i]=${lines[$i]%$'\r'}
done
[ "${lines[0]}" = "$banner" ] && [ "${lines[5]}" = "$banner" ] ||
  e2e_fail "warning entry banners wrong: '${lines[0]}' / '${lines[5]}'"
[ -z "${lines[1]}" ] && [ -z "${lines[4]}" ] && [ -z "${lines[6]}" ] ||
  e2e_fail "warning entry lines 2, 5 and 7 must be empty"
[[ ${lines[2]} =~ ^KORVANE\ WARNING:DATE:[0-9]{4},[0-9]{2},[0-9]{2}\ \ TIME:[0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] ||
  e2e_fail "warning entry header has an unexpected form: '${lines[2]}'"
[ "${lines[3]}" = "COULD NOT FIND SOUND:SOUND/#L0.wav" ] ||
  e2e_fail "warning text is '${lines[3]}', expected 'COULD NOT FIND SOUND:SOUND/#L0.wav'"

e2e_pass
