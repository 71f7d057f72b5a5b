#!/usr/bin/env bash
# plom on a desktop with a panel: under openbox, a window reserving a 27-pixel strip at the top
# of the screen (_NET_WM_STRUT) shrinks the work area; plom's borderless main window then lies
# wholly inside the work area, and its tool windows start at the work area's top left. The
# builder still works there (its menu quits it with exit code 0).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
e2e_start_wm
IFS=x read -r SCREEN_W SCREEN_H _ <<<"$E2E_SCREEN"
STRIP=27

# The panel: any client window with a strut; xmessage is the smallest X client at hand.
xmessage -title test-panel -geometry "200x${STRIP}+0+0" panel >"$E2E_WORK/panel.out" 2>&1 &
PANEL_PID=$!
trap 'kill "$PANEL_PID" 2>/dev/null; e2e_cleanup' EXIT
E2E_TASKO_PID=$PANEL_PID  # the process e2e_wait_window watches
e2e_wait_window '^test-panel$' 10
E2E_TASKO_PID=""
xprop -id "$E2E_WINDOW" -f _NET_WM_STRUT 32c -set _NET_WM_STRUT "0,0,$STRIP,0"
xprop -id "$E2E_WINDOW" -f _NET_WM_STRUT_PARTIAL 32c \
  -set _NET_WM_STRUT_PARTIAL "0,0,$STRIP,0,0,0,0,0,0,$((SCREEN_W - 1)),0,0"
want="0, $STRIP, $SCREEN_W, $((SCREEN_H - STRIP))"
tries=0
until xprop -root _NET_WORKAREA | grep -q "= $want"; do
  [ "$tries" -lt 50 ] || e2e_fail "openbox did not shrink the work area: $(xprop -root _NET_WORKAREA)"
  sleep 0.1
  tries=$((tries + 1))
done
e2e_log "work area $want"

plom_start
plom_wait_windows
e2e_geometry "$PLOM_MAIN"
[ "$X $Y $WIDTH $HEIGHT" = "0 $STRIP $SCREEN_W $((SCREEN_H - STRIP))" ] ||
  e2e_fail "the main window is at ($X,$Y) ${WIDTH}x${HEIGHT}, not the work area $want"
for id in "$PLOM_TILES" "$PLOM_DNA"; do
  e2e_geometry "$id"
  # Below the strip (a window manager's title bar may lie between), left of the screen's middle.
  [ "$Y" -ge "$STRIP" ] && [ "$Y" -le $((STRIP + 40)) ] && [ "$X" -lt $((SCREEN_W / 2)) ] ||
    e2e_fail "a tool window's client area is at ($X,$Y), not at the work area's top left"
  # A quarter of the work area, with the 25-pixel menu bar above it.
  [ "$WIDTH $HEIGHT" = "$((SCREEN_W / 4)) $(((SCREEN_H - STRIP) / 4 + 25))" ] ||
    e2e_fail "a tool window is ${WIDTH}x${HEIGHT}, not a quarter of the work area"
done
e2e_log "the main window fills the work area; the tool windows start at its top left"
plom_quit
e2e_pass
