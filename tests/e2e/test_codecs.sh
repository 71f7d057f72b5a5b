#!/usr/bin/env bash
# The graphics extension comes from the codec file: the demo world converted to JPEG and to
# TIFF, with GFXCODEC changed and no PNG left, loads and draws its tiles.
source "$(dirname "$0")/lib.sh"

# convert_world EXTENSION: every tile graphic and animation frame converted, PNGs removed,
# GFXCODEC set to the new extension.
convert_world() {
  local ext=$1 png
  while IFS= read -r -d '' png; do
    case $ext in
      .jpg) convert "$png" -quality 92 "${png%.png}$ext" ;;
      .tif) convert "$png" -compress lzw "${png%.png}$ext" ;;
    esac || e2e_fail "could not convert $png to $ext"
    rm -f "$png"
  done < <(find "$E2E_WORLD/GFX" "$E2E_WORLD/ANIM" -name '*.png' -print0)
  sed -i "s/^\.png\r\$/$ext\r/" "$E2E_WORLD/CORE/codecs.crc"
  grep -q "^\\$ext"$'\r'"\$" "$E2E_WORLD/CORE/codecs.crc" || e2e_fail "GFXCODEC could not be set to $ext"
  grep -q '^\.png' "$E2E_WORLD/CORE/codecs.crc" && e2e_fail "codecs.crc still names .png"
  [ -z "$(find "$E2E_WORLD" -name '*.png')" ] || e2e_fail "PNG files left in the converted world"
  [ -f "$E2E_WORLD/GFX/floor$ext" ] && [ -f "$E2E_WORLD/ANIM/hero/LEFT/1$ext" ] ||
    e2e_fail "the converted world lacks floor$ext or the hero's frames"
}

e2e_begin

# JPEG is lossy: wider tolerance, and white is no longer exactly white, so the transparency
# and glow probes are left out.
convert_world .jpg
e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .jpg 20 0 20
e2e_log "JPEG world drawn as expected"
e2e_quit_engine

# TIFF is lossless: the same checks as for PNG.
e2e_fresh_world
convert_world .tif
e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .tif 6 1 20
e2e_log "TIFF world drawn as expected"
e2e_quit_engine

e2e_pass
