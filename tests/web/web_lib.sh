# Shared helpers of the browser tests: the end-to-end helpers (tests/e2e/lib.sh: the native
# engine on a private X server, screenshots, pixel probes) plus a world packed as a page, a
# local web server and a headless chromium driven through its DevTools protocol (cdp.py).
#
# A test sources this file, calls web_begin (which skips the test, exit code 77, when the web
# runtime has not been built or chromium is missing), then uses the helpers below.
# Environment beyond lib.sh's: WEB_BUILD_DIR (default SOURCE_DIR/build-web).
# shellcheck shell=bash disable=SC2034
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
E2E_NAME=$(basename "$0" .sh)

WEB_BUILD=${WEB_BUILD_DIR:-$SOURCE_DIR/build-web}
WEB_SKIP=77
WEB_SERVER_PID=""
WEB_URL=""
WEB_VALUE=""
WEB_WIDTH=1280
WEB_HEIGHT=1024

# web_begin: skips unless the runtime and chromium are there, then lib.sh's e2e_begin (world
# copy, X server for the native engine) with the browser's cleanup added.
web_begin() {
  local file
  for file in tasko.js tasko.wasm index.html; do
    if [ ! -s "$WEB_BUILD/$file" ]; then
      e2e_log "skipped: $WEB_BUILD/$file is not built (scripts/web-build.sh builds it)"
      exit $WEB_SKIP
    fi
  done
  if ! command -v "${CHROMIUM:-chromium}" >/dev/null 2>&1; then
    e2e_log "skipped: chromium is not installed"
    exit $WEB_SKIP
  fi
  e2e_begin
  trap 'web_cleanup; e2e_cleanup' EXIT
}

web_cleanup() {
  if [ -n "${WEB_BROWSER_PID:-}" ] && kill -0 "$WEB_BROWSER_PID" 2>/dev/null; then
    echo quit >&"${WEB_BROWSER[1]}" 2>/dev/null
    e2e_wait_gone "$WEB_BROWSER_PID" 10 || kill "$WEB_BROWSER_PID" 2>/dev/null
  fi
  if [ -n "$WEB_SERVER_PID" ]; then
    kill "$WEB_SERVER_PID" 2>/dev/null
    wait "$WEB_SERVER_PID" 2>/dev/null
  fi
  return 0
}

# web_pack WORLD SITE: the world directory exported as a page folder (runtime + package) by the
# native engine's --export-web.
web_pack() {
  "$TASKO" --export-web "$2" "$1" >"$E2E_WORK/export.out" 2>&1 ||
    e2e_fail "tasko --export-web $2 $1 failed: $(cat "$E2E_WORK/export.out")"
}

# web_serve SITE: serves the folder on 127.0.0.1 at a free port; sets WEB_URL.
web_serve() {
  if [ -n "$WEB_SERVER_PID" ]; then kill "$WEB_SERVER_PID" 2>/dev/null; wait "$WEB_SERVER_PID" 2>/dev/null; fi
  local port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  python3 -m http.server --bind 127.0.0.1 --directory "$1" "$port" >"$E2E_WORK/server.out" 2>&1 &
  WEB_SERVER_PID=$!
  WEB_URL=http://127.0.0.1:$port/
  local tries=0
  until python3 -c "import urllib.request; urllib.request.urlopen('$WEB_URL')" 2>/dev/null; do
    [ "$tries" -lt 100 ] || e2e_fail "the web server did not answer within 10 s: $(cat "$E2E_WORK/server.out")"
    sleep 0.1
    tries=$((tries + 1))
  done
}

# web_browser_start: a headless chromium of WEB_WIDTH x WEB_HEIGHT, its driver as a co-process.
web_browser_start() {
  mkdir -p "$E2E_WORK/profile"
  coproc WEB_BROWSER { python3 "$SOURCE_DIR/tests/web/cdp.py" "$WEB_WIDTH" "$WEB_HEIGHT" "$E2E_WORK/profile"; }
}

# web_cmd COMMAND...: one driver command; WEB_VALUE is its answer (JSON). Fails on an error.
web_cmd() {
  local reply
  echo "$*" >&"${WEB_BROWSER[1]}" || e2e_fail "the browser driver is gone (command: $*)"
  IFS= read -r reply <&"${WEB_BROWSER[0]}" || e2e_fail "the browser driver gave no answer to: $*"
  case $reply in
    "ok "*) WEB_VALUE=${reply#ok } ;;
    *) e2e_fail "browser: $* -> ${reply#error }" ;;
  esac
}

# web_eval EXPRESSION: WEB_VALUE is its value; web_text EXPRESSION prints a text value plainly.
web_eval() { web_cmd eval "$1"; }
web_text() { web_cmd eval "$1"; python3 -c 'import json, sys; v = json.loads(sys.argv[1]); print(v if isinstance(v, str) else json.dumps(v))' "$WEB_VALUE"; }

# web_wait SECONDS EXPRESSION: true when the expression became true within the time.
web_wait() {
  web_cmd wait "$1" "$2"
  [ "$WEB_VALUE" != false ] && [ "$WEB_VALUE" != null ] && [ "$WEB_VALUE" != '""' ] && [ "$WEB_VALUE" != 0 ]
}

# web_open SITE: serves the folder and opens its page.
web_open() {
  web_serve "$1"
  [ -n "${WEB_BROWSER_PID:-}" ] || web_browser_start
  web_cmd open "$WEB_URL"
}

# web_wait_running SECONDS: the page ran frames, else fails with what it says.
web_wait_running() {
  web_wait "$1" 'window.taskoPage && taskoPage.frames > 3' ||
    e2e_fail "the page ran no frames within $1 s; it says: $(web_text 'document.getElementById("notes").innerText')"
}

# web_file PATH OUT: copies a file of the page's file system to OUT.
web_file() {
  web_cmd eval "(() => { const d = Module.FS.readFile('$1'); let s = ''; for (const b of d) s += String.fromCharCode(b); return btoa(s); })()"
  python3 -c 'import base64, json, sys; open(sys.argv[2], "wb").write(base64.b64decode(json.loads(sys.argv[1])))' \
    "$WEB_VALUE" "$2" || e2e_fail "could not copy $1 out of the page"
}

# web_console_has TEXT: true when a console message of the page contains TEXT.
web_console_has() {
  web_cmd console
  python3 -c 'import json, sys; sys.exit(0 if any(sys.argv[2] in m[1] for m in json.loads(sys.argv[1])) else 1)' \
    "$WEB_VALUE" "$1"
}

# web_native_stderr WORLD ARG...: what the native engine writes to standard error when no
# display can show its boxes (each box's "TITLE: TEXT" there), run in WORLD.
web_native_boxes() {
  (cd "$1" && env -u DISPLAY SDL_VIDEODRIVER=dummy "$TASKO" "${@:2}") 2>&1 >/dev/null | tr -d '\r'
}
