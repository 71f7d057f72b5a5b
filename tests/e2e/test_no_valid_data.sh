#!/usr/bin/env bash
# A world whose map file is missing shows the no-valid-data screen: noise characters and the two
# messages in bright green. Without any font the engine still runs, draws no text and writes
# one warning.
source "$(dirname "$0")/lib.sh"

MESSAGE_GREEN="0 255 0"
NOISE_GREEN="0 150 0"
# The first message at (SCRW / 4, SCRH / 4), the second one at 1.1 times that height.
first_line() { e2e_count_rgb "$1" 320 256 900 14 "$MESSAGE_GREEN"; }
second_line() { e2e_count_rgb "$1" 320 282 400 14 "$MESSAGE_GREEN"; }

e2e_begin
rm -f "$E2E_WORLD/MAPS/LVL0.dll"

e2e_start_tasko
e2e_wait_world_window
start=$SECONDS n=0
while :; do
  n=$((n + 1))
  shot=$E2E_WORK/shot-$n.png
  e2e_screenshot "$shot"
  [ "$(first_line "$shot")" -gt 100 ] && [ "$(second_line "$shot")" -gt 50 ] && break
  e2e_tasko_running || e2e_fail "tasko ended without a map file"
  [ $((SECONDS - start)) -lt 20 ] || e2e_fail "no no-valid-data messages after 20 s ($(first_line "$shot") / $(second_line "$shot") green pixels)"
  sleep 0.5
done
noise=$(e2e_count_rgb "$shot" 0 0 1280 1024 "$NOISE_GREEN")
[ "$noise" -gt 300 ] || e2e_fail "only $noise pixels of noise characters on the no-valid-data screen"
e2e_log "no-valid-data screen: messages $(first_line "$shot") + $(second_line "$shot") pixels, noise $noise pixels"
e2e_quit_engine

# Without any font fontconfig can offer.
printf '<?xml version="1.0"?>\n<fontconfig>\n</fontconfig>\n' >"$E2E_WORK/no-fonts.conf"
export FONTCONFIG_FILE=$E2E_WORK/no-fonts.conf
e2e_start_tasko
e2e_wait_world_window
sleep 2
e2e_screenshot "$E2E_WORK/nofont.png"
e2e_tasko_running || e2e_fail "tasko ended without a font"
green=$(e2e_count_rgb "$E2E_WORK/nofont.png" 0 0 1280 1024 "$MESSAGE_GREEN")
[ "$green" -eq 0 ] || e2e_fail "$green bright green text pixels drawn without a font"
e2e_quit_engine
warnings=$(grep -c 'warning: no font' "$E2E_WORK/tasko-$E2E_RUNS.out")
[ "$warnings" -eq 1 ] || e2e_fail "$warnings font warnings instead of one: $(cat "$E2E_WORK/tasko-$E2E_RUNS.out")"
e2e_pass
