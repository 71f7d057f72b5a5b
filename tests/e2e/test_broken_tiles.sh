#!/usr/bin/env bash
# Broken tile graphics beside the good ones: truncated, bit-flipped, with headers claiming huge
# or empty sizes, other formats under the .png name, empty files and a directory named like a
# tile, each with a descriptor and placed in the map. The engine starts, draws the good tiles as
# always and ends with exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_begin

maker=$BUILD_DIR/tests/make_broken_images
[ -x "$maker" ] || e2e_fail "broken image generator not built: $maker"
"$maker" "$E2E_WORK/broken" "$SOURCE_DIR"/demo/GFX/*.png "$SOURCE_DIR"/tests/data/* \
  >"$E2E_WORK/broken.txt" || e2e_fail "the broken image generator failed"

# A sample: every 12th file of the list, and every file of the rarer kinds.
mapfile -t sample < <(awk -F'\t' 'NR % 12 == 0 || $2 !~ /^(truncated|bit-flipped)$/ { print $1 }' \
  "$E2E_WORK/broken.txt")
[ "${#sample[@]}" -ge 60 ] || e2e_fail "only ${#sample[@]} broken files in the sample"

# Each becomes tile kind brokenN (a directory stays a directory), with the crate's descriptor,
# placed in the map outside the screen so that a damaged file that still decodes draws nothing
# over the probed tiles.
map=$E2E_WORLD/MAPS/LVL0.dll
records=""
for i in "${!sample[@]}"; do
  cp -R "$E2E_WORK/broken/${sample[$i]}" "$E2E_WORLD/GFX/broken$i.png"
  cp "$E2E_WORLD/GFX/crate.dll" "$E2E_WORLD/GFX/broken$i.dll"
  records+="TILE"$'\r\n'"broken$i"$'\r\n'"3"$'\r\n'"$((3000 + i * 70))"$'\r\n'"3000"$'\r\n'"64"$'\r\n'"64"$'\r\n'"$((i % 9))"$'\r\n'
done
# The records go before the end marker.
head -c -"$(printf 'ENGINETILEINFOEND\r\n' | wc -c)" "$map" >"$map.new"
tail -c "$(printf 'ENGINETILEINFOEND\r\n' | wc -c)" "$map" | grep -q '^ENGINETILEINFOEND' ||
  e2e_fail "the demo map does not end with its end marker"
printf '%s' "$records" >>"$map.new"
printf 'ENGINETILEINFOEND\r\n' >>"$map.new"
mv "$map.new" "$map"
e2e_log "${#sample[@]} broken tile graphics placed in the map"

e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .png 6 1 30
e2e_log "good tiles drawn as expected beside the broken ones"
e2e_quit_engine
e2e_pass
