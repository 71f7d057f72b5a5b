#!/usr/bin/env bash
# tasko.exe under Wine behaves and writes as the Linux tasko does: the same outputs and exit
# codes for its command line, the same bytes in a new world, in a world exported for the web and
# in the warnings log, left Alt held before Escape ends it, and a fault inside drawing ends it
# with its log entry and exit code 0 within 10 s.
# Environment (scripts/windows-test.sh sets it): TASKO and TASKO_DRAW_FAULT run the Windows
# programs, TASKO_PACKAGE is the unpacked package holding tasko.exe, LINUX_TASKO is the Linux
# build's tasko.
source "$(dirname "$0")/../lib.sh"

[ -x "${LINUX_TASKO:-}" ] || e2e_fail "LINUX_TASKO (the Linux build's tasko) is not set"
e2e_begin

# run BINARY ARGUMENTS...: standard output, error output (without the CR of Windows' text mode,
# whose line ends are the system's own) and exit code, as one text.
run() {
  local binary=$1
  shift
  # (The display stays: Wine's desktop process takes the display of the first program it runs.)
  (cd "$E2E_WORK" && timeout 30 "$binary" "$@") >"$E2E_WORK/out" 2>"$E2E_WORK/err"
  local code=$?
  printf 'exit %s\n--- out\n%s\n--- err\n%s\n' "$code" "$(tr -d '\r' <"$E2E_WORK/out")" \
    "$(tr -d '\r' <"$E2E_WORK/err")"
}

# The command line: each row's outcome the same on both systems.
rows=("--help" "--version" "--bogus" "--map" "$E2E_WORLD extra" "$E2E_WORK/missing" "--new-world $E2E_WORLD")
for row in "${rows[@]}"; do
  # shellcheck disable=SC2086  # the arguments are words
  want=$(run "$LINUX_TASKO" $row)
  # shellcheck disable=SC2086
  got=$(run "$TASKO" $row)
  [ "$got" = "$want" ] || e2e_fail "tasko $row differs from Linux:"$'\n'"$got"$'\n'"=== Linux:"$'\n'"$want"
  e2e_log "tasko $row: $(head -n 1 <<<"$want") as on Linux"
done

# A new world: the same files with the same bytes.
run "$LINUX_TASKO" --new-world "$E2E_WORK/linux-world" >/dev/null
run "$TASKO" --new-world "$E2E_WORK/windows-world" >/dev/null
diff -r "$E2E_WORK/linux-world" "$E2E_WORK/windows-world" >"$E2E_WORK/world-diff.txt" ||
  e2e_fail "the new worlds differ: $(head -n 5 "$E2E_WORK/world-diff.txt")"
[ -f "$E2E_WORK/windows-world/CORE/ini.crc" ] || e2e_fail "tasko.exe --new-world wrote no world"
e2e_log "--new-world: $(find "$E2E_WORK/windows-world" -type f | wc -l) files, the same bytes as on Linux"

# --export-web: the same package bytes as the Linux tasko for the same world, and the runtime
# found in web\ beside tasko.exe. A package made before scripts/web-build.sh has none: then
# stand-in runtime files go there, and beside a copy of the Linux tasko as after installing.
[ -d "${TASKO_PACKAGE:-}" ] || e2e_fail "TASKO_PACKAGE (the unpacked Windows package) is not set"
if [ ! -f "$TASKO_PACKAGE/web/tasko.wasm" ]; then
  mkdir -p "$TASKO_PACKAGE/web"
  for file in index.html tasko.js tasko.wasm; do printf 'stand-in %s\n' "$file" >"$TASKO_PACKAGE/web/$file"; done
fi
mkdir -p "$E2E_WORK/linux/bin" "$E2E_WORK/linux/share/tasko"
cp "$LINUX_TASKO" "$E2E_WORK/linux/bin/" && cp -R "$TASKO_PACKAGE/web" "$E2E_WORK/linux/share/tasko/web" ||
  e2e_fail "cannot lay out the Linux tasko with the runtime"
cp "$E2E_WORLD/MAPS/LVL0.dll" "$E2E_WORLD/USER/UNDO_0"  # left out on both systems
want=$(run "$E2E_WORK/linux/bin/tasko" --export-web page-linux world)
got=$(run "$TASKO" --export-web page-windows world)
[ "${got//page-windows/page-linux}" = "$want" ] || e2e_fail "tasko --export-web differs from Linux:"$'\n'"$got"$'\n'"=== Linux:"$'\n'"$want"
for file in world.json world.data index.html tasko.js tasko.wasm; do
  cmp -s "$E2E_WORK/page-linux/$file" "$E2E_WORK/page-windows/$file" || e2e_fail "the exported $file differs from Linux"
done
cmp -s "$TASKO_PACKAGE/web/tasko.wasm" "$E2E_WORK/page-windows/tasko.wasm" || e2e_fail "tasko.exe did not copy the runtime beside it"
e2e_log "--export-web: $(grep -c '"path"' "$E2E_WORK/page-windows/world.json") files, the same package as on Linux"

# The warnings log of a world without its area sound: the same bytes but for the date.
rm -rf "$E2E_WORLD/SOUND"
dated() { sed -E 's/DATE:[0-9]{4},[0-9]{2},[0-9]{2}  TIME:[0-9]{2}:[0-9]{2}:[0-9]{2}/DATE:-  TIME:-/' "$1"; }
for system in linux windows; do
  binary=$TASKO
  [ "$system" = linux ] && binary=$LINUX_TASKO
  rm -f "$E2E_WORLD/warnings.log"
  E2E_RUNS=$((E2E_RUNS + 1))
  (cd "$E2E_WORLD" && exec "$binary") >"$E2E_WORK/tasko-$E2E_RUNS.out" 2>&1 &
  E2E_TASKO_PID=$!
  e2e_wait_world_window
  e2e_wait_for_file_text "$E2E_WORLD/warnings.log" "COULD NOT FIND SOUND" 20 ||
    e2e_fail "$system: no warning about the missing sound"
  e2e_quit_engine
  dated "$E2E_WORLD/warnings.log" >"$E2E_WORK/warnings-$system.log"
done
cmp -s "$E2E_WORK/warnings-linux.log" "$E2E_WORK/warnings-windows.log" ||
  e2e_fail "the warnings logs differ: $(od -c "$E2E_WORK/warnings-windows.log" | head -n 5)"
e2e_log "warnings.log: the same bytes as on Linux"

# Left Alt held first, then Escape, ends it as on Linux. On Windows the engine's keyboard hook
# takes both keys before the system's own Alt+Esc. Under Wine the hook sees only what Wine's X11
# driver gets, and that driver never grabs the keyboard: openbox's own Alt+Escape would take the
# Escape before any program. So the window manager here has every binding of its stock
# configuration but that one, and delivers the keys in the order Windows does.
mkdir -p "$E2E_WORK/wm-config/openbox"
awk '/<keybind key="A-Escape">/ { skip = 1 } !skip { print } skip && /<\/keybind>/ { skip = 0 }' \
  /etc/xdg/openbox/rc.xml >"$E2E_WORK/wm-config/openbox/rc.xml"
grep -q 'A-Escape' "$E2E_WORK/wm-config/openbox/rc.xml" && e2e_fail "openbox's Alt+Escape binding is still configured"
e2e_start_wm
# (It reads its configuration anew at once; tasko.exe takes seconds to show its window.)
openbox --reconfigure || e2e_fail "openbox could not be told to read its configuration anew"
e2e_start_tasko
e2e_wait_world_window
sleep 1  # frames are running
xdotool mousemove 640 512 keydown Alt_L
sleep 0.3
xdotool keydown Escape
e2e_wait_gone "$E2E_TASKO_PID" 10
gone=$?
xdotool keyup Escape keyup Alt_L
[ "$gone" -eq 0 ] || e2e_fail "tasko.exe did not end within 10 s of left Alt held first, then Escape"
e2e_wait_exit 1
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "tasko.exe ended with exit code $E2E_EXIT after left Alt + Escape"
e2e_log "left Alt held first, then Escape: ended with exit code 0"

# A fault inside drawing: the entry, exit code 0 within 10 s.
log=$E2E_WORLD/$(tr -d '\r' <"$E2E_WORLD/CORE/ini.crc" | awk 'prev == "ERRORPATH" { print; exit } { prev = $0 }')
TASKO=$TASKO_DRAW_FAULT
e2e_start_tasko
e2e_wait_world_window
sleep 1  # frames are running
: >"$E2E_WORLD/draw-fault.request"
started=$SECONDS
e2e_wait_exit 10
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "tasko.exe ended with exit code $E2E_EXIT after a fault inside drawing"
[ "$(tr -d '\r' <"$log" | grep -c '^ACCESS VIOLATION (SIGSEGV)$')" = 1 ] ||
  e2e_fail "tasko.exe wrote no access violation entry: $(cat "$log" 2>/dev/null)"
e2e_log "fault inside drawing: entry written, exit code 0 after $((SECONDS - started)) s"
e2e_pass
