#!/usr/bin/env bash
# "Refresh Tiles?" > "Import Tileset...": Tiled's own desert tileset (margin 1, spacing 1) beside
# its sheet fills the layout window, whose grid shows over the picture before anything is
# written; Import makes one tile type per visible cell with the cell's pixels. A generated sheet
# of 300 cells, its layout typed into the fields, fills the tile window beyond its edge: the
# wheel and the scroll bar reach its thumbnails.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

TILED_EXAMPLES=/usr/share/doc/tiled/examples
e2e_begin
[ -f "$TILED_EXAMPLES/desert.tsx" ] || e2e_fail "Tiled's examples are missing ($TILED_EXAMPLES): install tiled"
E2E_WORLD=$E2E_WORK/mine
W=$E2E_WORLD
"$TASKO" --new-world "$W" >"$E2E_WORK/new.txt" 2>&1 || e2e_fail "tasko --new-world failed: $(cat "$E2E_WORK/new.txt")"
mkdir -p "$W/art"
cp "$TILED_EXAMPLES/desert.tsx" "$TILED_EXAMPLES/tmw_desert_spacing.png" "$W/art/"
SHEET=$W/art/tmw_desert_spacing.png

# The generated sheet: 20 x 15 cells of 16 pixels, 2 apart, cell i of colour (i mod 256, 40, 200)
# but every 37th one (5, 42, ...) left transparent.
draw=()
for ((i = 0; i < 300; i++)); do
  ((i % 37 == 5)) && continue
  x=$((i % 20 * 18)) y=$((i / 20 * 18))
  draw+=(-fill "rgb($((i % 256)),40,200)" -draw "rectangle $x,$y $((x + 15)),$((y + 15))")
done
convert -size 358x268 xc:none "${draw[@]}" "PNG32:$W/art/grid.png" || e2e_fail "cannot make the generated sheet"

plom_start
plom_wait_windows

# plom_import_tileset PICTURE: "Import Tileset..." (third item of "Refresh Tiles?"), the picture
# typed into the requester; waits for the layout window, its geometry in X Y WIDTH HEIGHT.
plom_import_tileset() {
  plom_menu 2 3
  e2e_wait_window '^MAP-BUILDER: Import Tileset:$' 10
  e2e_geometry "$E2E_WINDOW"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.3
  xdotool key End
  xdotool type --delay 30 "$1"
  xdotool key Return
  e2e_wait_no_window '^MAP-BUILDER: Import Tileset:$' 5 || e2e_fail "the requester is still open"
  e2e_wait_window "^Tileset layout: $(basename "${1%.*}")\$" 10
  LAYOUT=$E2E_WINDOW
  sleep 0.5
  e2e_geometry "$LAYOUT"
}

# --- Tiled's tileset: the layout comes from desert.tsx ---------------------------------------------
plom_import_tileset art/tmw_desert_spacing.png
e2e_screenshot "$E2E_WORK/desert-layout.png"
# The 265 x 199 sheet is shown 3 times its size from (8, 60): the first column's left edge is at
# 8 + 3, its right edge at 8 + 3 * 33; a row's top edge at 60 + 3.
for probe in "$((X + 11)) $((Y + 120))" "$((X + 8 + 99)) $((Y + 150))" "$((X + 150)) $((Y + 63))"; do
  read -r px py <<<"$probe"
  got=$(e2e_pixel_rgb "$E2E_WORK/desert-layout.png" "$px" "$py")
  e2e_rgb_close "$got" "255 0 255" 0 || e2e_fail "no grid line at ($px, $py) of the layout window: $got"
done
ls "$W/GFX" | grep -q '^tmw_desert' && e2e_fail "tiles were written before Import"
e2e_log "the layout window shows the grid of desert.tsx over the sheet, nothing written yet"

plom_click $((X + 506)) $((Y + 18))  # Import
e2e_wait_for_file_text "$W/GFX/tmw_desert_spacing_47.dll" worldFTileCollision 10 ||
  e2e_fail "no descriptor for the sheet's last cell"
e2e_wait_no_window '^Tileset layout: ' 5 || e2e_fail "the layout window is still open after Import"
# Which cells are visible, and their pixels, from ImageMagick's own cut of the sheet.
expected=0
for ((id = 0; id < 48; id++)); do
  cx=$((1 + id % 8 * 33)) cy=$((1 + id / 8 * 33))
  convert "$SHEET" -crop "32x32+$cx+$cy" +repage "PNG32:$E2E_WORK/cell.png"
  if [ "$(convert "$E2E_WORK/cell.png" -format '%[fx:maxima.a]' info:)" = 0 ]; then
    [ -e "$W/GFX/tmw_desert_spacing_$id.png" ] && e2e_fail "the transparent cell $id became a tile"
    continue
  fi
  expected=$((expected + 1))
  diff=$(compare -metric AE "$E2E_WORK/cell.png" "$W/GFX/tmw_desert_spacing_$id.png" null: 2>&1)
  [ "$diff" = 0 ] || e2e_fail "tile tmw_desert_spacing_$id differs from its cell in $diff pixels"
done
got=$(ls "$W/GFX" | grep -c '^tmw_desert_spacing_[0-9]*\.png$')
[ "$got" -eq "$expected" ] || e2e_fail "$got tiles from the desert sheet, $expected cells are visible"
e2e_wait_window '^DNA for Tile: .*/GFX/tmw_desert_spacing_0 File:tmw_desert_spacing_0$' 5
e2e_log "desert.tsx's sheet gave $expected tile types, each with its cell's pixels; the first is selected"

# --- 300 cells typed in: more thumbnails than the tile window shows --------------------------------
plom_import_tileset art/grid.png
# plom_set_field X VALUE: the layout window's field at x = X typed over.
plom_set_field() {
  plom_click $((X + $1 + 24)) $((Y + 18))
  xdotool key End
  for _ in 1 2 3 4; do xdotool key BackSpace; done
  xdotool type --delay 30 "$2"
}
plom_set_field 46 16
plom_set_field 151 16
plom_set_field 256 0
plom_set_field 368 2
plom_click $((X + 449)) $((Y + 18))  # Grid
e2e_screenshot "$E2E_WORK/grid-layout.png"
# The 358 x 268 sheet shown twice its size: the second column's left edge at 8 + 2 * 18.
got=$(e2e_pixel_rgb "$E2E_WORK/grid-layout.png" $((X + 8 + 36)) $((Y + 100)))
e2e_rgb_close "$got" "255 0 255" 0 || e2e_fail "no grid line of the typed layout: $got"
plom_click $((X + 506)) $((Y + 18))  # Import
e2e_wait_for_file_text "$W/GFX/grid_299.dll" worldFTileCollision 10 || e2e_fail "no descriptor for cell 299"
got=$(ls "$W/GFX" | grep -c '^grid_[0-9]*\.png$')
[ "$got" -eq 292 ] || e2e_fail "$got tiles from the 300-cell sheet with 8 transparent cells, not 292"
[ -e "$W/GFX/grid_42.png" ] && e2e_fail "the transparent cell 42 became a tile"
diff=$(convert "$W/art/grid.png" -crop 16x16+54+36 +repage PNG32:- | compare -metric AE - "$W/GFX/grid_43.png" null: 2>&1)
[ "$diff" = 0 ] || e2e_fail "tile grid_43 differs from its cell in $diff pixels"
e2e_log "the typed layout cut 292 tile types out of 300 cells"

# The tile window: the wheel over it reaches a thumbnail far below its edge.
sleep 1
plom_client_top "$PLOM_TILES"
row=$(((WIDTH - 64) / 50 + 1))
shown=$(((Y + HEIGHT - CLIENT_Y) / 50))
index=$(plom_tile_index grid_99)  # a late one among the grid tiles (byte-wise order)
target_row=$((index / row))
[ "$target_row" -gt "$shown" ] || e2e_fail "grid_99 (row $target_row) is not below the window's $shown rows"
xdotool mousemove $((X + 30)) $((CLIENT_Y + 30))
sleep 0.2
for _ in $(seq 60); do xdotool click 4; done  # up to the first row
sleep 0.5
notches=$((target_row / 2))
for ((i = 0; i < notches; i++)); do xdotool click 5; sleep 0.05; done
sleep 1
e2e_screenshot "$E2E_WORK/scrolled.png"
y=$((CLIENT_Y + (target_row - 2 * notches) * 50))
x=$((X + 50 * (index % row)))
got=$(e2e_box_rgb "$E2E_WORK/scrolled.png" $((x + 20)) $((y + 24)) 8)
e2e_rgb_close "$got" "99 40 200" 8 || e2e_fail "thumbnail $index (grid_99) after $notches wheel notches shows $got"
e2e_log "$notches wheel notches brought thumbnail $index (row $target_row) into the tile window"
# A click on it selects it.
plom_click $((x + 24)) $((y + 24))
e2e_wait_window "^DNA for Tile: .*/GFX/grid_99 File:grid_99\$" 5
# The scroll bar's bottom end shows the last rows: its thumb is drawn there.
plom_click $((X + WIDTH - 6)) $((Y + HEIGHT - 2))
sleep 0.5
e2e_screenshot "$E2E_WORK/bar.png"
got=$(e2e_box_rgb "$E2E_WORK/bar.png" $((X + WIDTH - 8)) $((Y + HEIGHT - 12)) 4)
e2e_rgb_close "$got" "60 60 60" 4 || e2e_fail "the scroll bar's thumb is not at its bottom end: $got"
e2e_log "a click at the scroll bar's bottom end moved to the last rows"
plom_quit
e2e_pass
