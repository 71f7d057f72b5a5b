#!/usr/bin/env bash
# Builds and runs a program in a scratch copy of the demo world: ./run.sh (the engine tasko) or
# ./run.sh plom (the map builder). With a display it runs in the foreground; without one it runs
# under a private Xvfb server, saves a screenshot, ends the program and prints its exit code.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

program="${1:-tasko}"
case "$program" in
  tasko | plom) ;;
  *)
    echo "usage: $0 [tasko|plom]" >&2
    exit 2
    ;;
esac

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

# Both programs are built into build/bin, where plom's F5 finds tasko beside itself; plom
# brings tasko along for it.
targets=("$program")
[ "$program" = plom ] && targets+=(tasko)
cmake --build build --target "${targets[@]}" -j"$(nproc)"
binary="$PWD/build/bin/$program"
if [ ! -x "$binary" ]; then
  echo "$program is not built yet"
  exit 1
fi

# The programs read their files relative to the working directory and append logs there, so
# they run in a fresh copy of the demo world.
run_dir="$PWD/build/demo-run"
rm -rf "$run_dir"
cp -r demo "$run_dir"
cd "$run_dir"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  if [ "$program" = tasko ]; then
    echo "tasko runs full-screen; hold Escape and left Alt together to quit."
  else
    echo "plom: quit with BUILDER: > Quit Builder in the tile window's menu, then Yes (or the Y key)."
  fi
  exec "$binary"
fi

# No display: a private Xvfb server; -displayfd makes it choose a free display number and
# write it to the given descriptor.
display_file=$(mktemp)
# -noreset: a server that resets when its last client leaves loses a client connecting meanwhile.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill -KILL "$program_pid" 2>/dev/null || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 50); do
  [ -s "$display_file" ] && break
  sleep 0.2
done
export DISPLAY=":$(head -n 1 "$display_file")"
export SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.2
done
if ! xdpyinfo >/dev/null 2>&1; then
  echo "Xvfb did not start on display $DISPLAY" >&2
  exit 1
fi

"$binary" &
program_pid=$!

# Wait for the program's window (at most 10 s), then give it a moment to draw.
if [ "$program" = tasko ]; then window_name=KORVANE; else window_name='^1$'; fi
for _ in $(seq 50); do
  kill -0 "$program_pid" 2>/dev/null || break
  xdotool search --onlyvisible --name "$window_name" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2

screenshot="$(dirname "$run_dir")/${program}-screenshot.png"
if import -window root "$screenshot"; then
  echo "screenshot: $screenshot"
else
  echo "could not take a screenshot" >&2
fi

# tasko ends when Escape and left Alt are held together (the pointer must be on its screen);
# plom quits through its menu: a click on "BUILDER:" in the tile window (whose title is the map
# file "1" once it runs), the cursor keys down to "Quit Builder", Return, then Y for Yes.
if kill -0 "$program_pid" 2>/dev/null; then
  if [ "$program" = tasko ]; then
    xdotool mousemove 640 512 keydown Escape keydown Alt_L
    sleep 0.5
    xdotool keyup Alt_L keyup Escape
  else
    tiles=$(xdotool search --name '^1$' | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$tiles")"
    xdotool mousemove $((X + 30)) $((Y + 12)) click 1
    sleep 0.5
    xdotool key Down Down Down Return
    sleep 1
    xdotool key y
  fi
fi

for _ in $(seq 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "$program did not exit within 10 s; killing it" >&2
  kill -KILL "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  exit 1
fi
status=0
wait "$program_pid" || status=$?
program_pid=""
echo "$program exit code: $status"
exit "$status"
