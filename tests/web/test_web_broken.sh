#!/usr/bin/env bash
# Broken worlds in the page say what the desktop says: a configuration naming a missing texts
# file gives the same two boxes' texts as the native engine (on the page and in the console),
# and a missing map shows the no-valid-data screen with its two green messages. A package that
# is missing, cut off or not a world gives a clear message on the page and in the console.
source "$(dirname "$0")/web_lib.sh"

web_begin
MESSAGE_GREEN="0 255 0"
world=$E2E_WORLD

# 1. The texts file is missing: the start-up error boxes.
texts=$(tr -d '\r' <"$world/CORE/ini.crc" | awk 'prev == "SYSTEMTEXT" { print; exit } { prev = $0 }')
rm -f "$world/$texts"
native=$(web_native_boxes "$world")
[ -n "$native" ] || e2e_fail "the native engine reported nothing without its texts file"
web_pack "$world" "$E2E_WORK/site-texts"
web_open "$E2E_WORK/site-texts"
web_wait 60 'taskoPage.state === "ended"' || e2e_fail "the page did not end after the start-up error"
page=$(web_text 'taskoPage.messages.map(m => m[0] + ": " + m[1]).join("\n")')
[ "$page" = "$native" ] || e2e_fail "the page's boxes differ from the native ones:"$'\n'"page:   $page"$'\n'"native: $native"
shown=$(web_text 'document.getElementById("messages").innerText')
[[ $shown == *"$(sed -n 1p <<<"$native" | sed 's/^KORVANE_CORE ERROR:: //')"* ]] ||
  e2e_fail "the error text is not shown on the page: $shown"
web_console_has "$(sed -n 1p <<<"$native" | sed 's/^KORVANE_CORE ERROR:: //')" || e2e_fail "the error text is not in the console"
e2e_log "start-up error as natively: $(sed -n 1p <<<"$native")"
e2e_fresh_world

# 2. The start map is missing: the no-valid-data screen.
rm -f "$world/MAPS/LVL0.dll"
web_pack "$world" "$E2E_WORK/site-nomap"
web_open "$E2E_WORK/site-nomap"
web_wait_running 60
sleep 1
shot=$E2E_WORK/page-nomap.png
web_cmd shot "$shot"
first=$(e2e_count_rgb "$shot" 320 256 900 14 "$MESSAGE_GREEN")
second=$(e2e_count_rgb "$shot" 320 282 400 14 "$MESSAGE_GREEN")
[ "$first" -gt 100 ] && [ "$second" -gt 50 ] ||
  e2e_fail "no no-valid-data messages on the page ($first and $second green pixels)"

# 3. Broken packages: the page's own messages.
site=$E2E_WORK/site-bad
web_pack "$world" "$site"
check_message() {  # PATTERN WHAT
  web_cmd open "$WEB_URL"
  web_wait 30 'taskoPage.state === "failed"' || e2e_fail "$2: the page did not report a failure"
  local text
  text=$(web_text 'document.getElementById("status").innerText')
  [[ $text =~ $1 ]] || e2e_fail "$2: the page says '$text'"
  web_console_has "$text" || e2e_fail "$2: the message is not in the console"
  e2e_log "$2: $text"
}
web_serve "$site"
head -c 1000 "$site/world.data" >"$site/cut" && mv "$site/cut" "$site/world.data"
check_message "^The world is cut off" "world.data cut off"
echo '{"format": "something else"}' >"$site/world.json"
check_message "^This is not a world" "a foreign world.json"
rm -f "$site/world.json"
check_message "^The world is missing" "no world.json"
e2e_pass
