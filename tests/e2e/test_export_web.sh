#!/usr/bin/env bash
# A world as a web page: tasko --export-web writes the runtime and the packed world; the package
# holds every file the engine reads at its path and none of the logs, undo snapshots or half
# writes; a static web server hands out the same bytes; the engine plays the world unpacked
# from it. A folder that is not empty and a missing runtime are refused with exit code 2 and
# nothing written. plom's "Export for Web..." packs the map being edited as the start area's map.
# The programs find the runtime from their own directory, as after installing: copies of them
# in a scratch prefix with stand-in runtime files (the real runtime is checked when it is built).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
W=$E2E_WORLD
prefix=$E2E_WORK/prefix
runtime=$prefix/share/tasko/web
mkdir -p "$prefix/bin" "$runtime" "$E2E_WORK/bare/bin"
cp "$TASKO" "$PLOM" "$prefix/bin/" && cp "$TASKO" "$E2E_WORK/bare/bin/" || e2e_fail "cannot copy the programs"
printf '<!doctype html><title>stand-in page</title>\n' >"$runtime/index.html"
printf '// stand-in loader\n' >"$runtime/tasko.js"
printf '\0asm\1\0\0\0stand-in' >"$runtime/tasko.wasm"

# state DIR: a fingerprint of every file below DIR (names, sizes, times).
state() { find "$1" -printf '%P %s %T@\n' | LC_ALL=C sort | md5sum; }

# check_package DIR WORLD [PATH=FILE...]: world.json against world.data and the world's files
# (a PATH=FILE pair: that packed path holds FILE's bytes instead); prints the number of files.
check_package() {
  python3 - "$@" <<'EOF'
import json, os, sys
out, world, overrides = sys.argv[1], sys.argv[2], dict(a.split("=", 1) for a in sys.argv[3:])
package = json.load(open(os.path.join(out, "world.json")))
data = open(os.path.join(out, "world.data"), "rb").read()
def fail(text):
    print(text)
    sys.exit(1)
if package.get("format") != "tasko-world-1": fail("format is %r" % package.get("format"))
if package["size"] != len(data): fail("size %d, world.data has %d bytes" % (package["size"], len(data)))
paths = [f["path"] for f in package["files"]]
if "CORE/ini.crc" not in paths: fail("no CORE/ini.crc")
if len(set(paths)) != len(paths): fail("a path twice")
at = 0
for f in package["files"]:
    p = f["path"]
    if p.startswith("/") or ".." in p.split("/") or "\\" in p: fail("bad path " + p)
    if f["offset"] != at: fail("%s at %d, expected %d" % (p, f["offset"], at))
    at += f["size"]
    want = open(overrides.get(p, os.path.join(world, p)), "rb").read()
    if data[f["offset"]:f["offset"] + f["size"]] != want: fail("the bytes of " + p + " differ")
if at != len(data): fail("world.data has bytes no file claims")
# What the engine reads from the demo's configuration, and what never goes in.
def names(d, test):
    full = os.path.join(world, d)
    return [d + n for n in sorted(os.listdir(full)) if test(n) and os.path.isfile(os.path.join(full, n))] if os.path.isdir(full) else []
expected = ["CORE/ini.crc", "CORE/systemtext.txt", "CORE/codecs.crc"]
expected += names("GFX/", lambda n: n.endswith(".png") and ".tmp" not in n) + names("GFX/", lambda n: n.endswith(".dll"))
expected += names("MAPS/", lambda n: n.startswith("LVL") and n.endswith(".dll"))
expected += names("SOUND/", lambda n: n.startswith("#L") and n.endswith(".wav"))
for c in sorted(os.listdir(os.path.join(world, "ANIM"))):
    expected += names("ANIM/" + c + "/", lambda n: n.endswith(".png"))
if sorted(paths) != sorted(expected):
    fail("packed %s\nexpected %s" % (sorted(set(paths) - set(expected)), sorted(set(expected) - set(paths))))
print(len(paths))
EOF
}

# Files that lie in a world being worked on and must stay out of its page.
printf 'an old log\r\n' >"$W/error.log"
printf 'an old log\r\n' >"$W/warnings.log"
cp "$W/MAPS/LVL0.dll" "$W/USER/UNDO_0"
cp "$W/GFX/wall.dll" "$W/GFX/wall.dll.tmp4242"

out=$E2E_WORK/page
(cd "$E2E_WORK" && "$prefix/bin/tasko" --export-web "$out" "$W") >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt" ||
  e2e_fail "tasko --export-web failed: $(cat "$E2E_WORK/err.txt")"
[ ! -s "$E2E_WORK/err.txt" ] || e2e_fail "tasko --export-web complained: $(cat "$E2E_WORK/err.txt")"
grep -q "^tasko: the world is a web page in $out (.*python3 -m http.server" "$E2E_WORK/out.txt" ||
  e2e_fail "tasko --export-web said: $(cat "$E2E_WORK/out.txt")"
for file in index.html tasko.js tasko.wasm; do
  cmp -s "$runtime/$file" "$out/$file" || e2e_fail "the runtime file $file was not copied"
done
count=$(check_package "$out" "$W") || e2e_fail "the package does not hold the world: $count"
e2e_log "tasko --export-web: runtime copied, $count files packed at their offsets, logs and work files left out"

# A static web server hands out the folder as written (loopback only, bounded in time).
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$out" && exec timeout 60 python3 -m http.server --bind 127.0.0.1 "$port") >"$E2E_WORK/server.out" 2>&1 &
server=$!
python3 - "$port" "$out" <<'EOF' || { kill "$server"; e2e_fail "the web server did not hand out the package"; }
import sys, time, urllib.request
port, out = sys.argv[1], sys.argv[2]
for attempt in range(50):
    try:
        urllib.request.urlopen("http://127.0.0.1:%s/" % port, timeout=2).read()
        break
    except OSError:
        time.sleep(0.1)
for name in ("index.html", "world.json", "world.data"):
    served = urllib.request.urlopen("http://127.0.0.1:%s/%s" % (port, name), timeout=5).read()
    if served != open(out + "/" + name, "rb").read():
        sys.exit("%s differs when served" % name)
EOF
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
e2e_log "python3 -m http.server in the folder hands out the page and the package unchanged"

# The engine plays the world unpacked from the package: nothing it needs was left behind.
unpacked=$E2E_WORK/unpacked
python3 - "$out" "$unpacked" <<'EOF' || e2e_fail "cannot unpack the package"
import json, os, sys
out, target = sys.argv[1], sys.argv[2]
package = json.load(open(out + "/world.json"))
data = open(out + "/world.data", "rb").read()
for f in package["files"]:
    path = os.path.join(target, f["path"])
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, "wb").write(data[f["offset"]:f["offset"] + f["size"]])
EOF
mkdir -p "$unpacked/USER"
saved_world=$E2E_WORLD
E2E_WORLD=$unpacked
e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .png 6 1 20
e2e_quit_engine
[ ! -s "$unpacked/warnings.log" ] || e2e_fail "the unpacked world warned: $(cat "$unpacked/warnings.log")"
E2E_WORLD=$saved_world
e2e_log "tasko plays the world unpacked from the package and warns of nothing"

# Refusals: exit code 2, one line saying why, nothing written.
mkdir -p "$E2E_WORK/elsewhere"
before=$(state "$out")
(cd "$E2E_WORK/elsewhere" && "$prefix/bin/tasko" --export-web "$out" "$W") >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt"
code=$?
[ "$code" -eq 2 ] || e2e_fail "an export into a folder that is not empty ended with $code, not 2"
grep -q "^tasko: the directory '$out' is not empty; nothing was written$" "$E2E_WORK/err.txt" ||
  e2e_fail "an export into a full folder said: $(cat "$E2E_WORK/err.txt")"
[ "$(state "$out")" = "$before" ] || e2e_fail "the full folder was changed"

(cd "$E2E_WORK/elsewhere" && "$E2E_WORK/bare/bin/tasko" --export-web "$E2E_WORK/new" "$W") >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt"
code=$?
[ "$code" -eq 2 ] || e2e_fail "an export without a runtime ended with $code, not 2"
[ "$(wc -l <"$E2E_WORK/err.txt")" -eq 1 ] && grep -q "^tasko: the web runtime is not there .*build it with scripts/web-build.sh$" "$E2E_WORK/err.txt" ||
  e2e_fail "an export without a runtime said: $(cat "$E2E_WORK/err.txt")"
[ ! -e "$E2E_WORK/new" ] && [ ! -s "$E2E_WORK/out.txt" ] || e2e_fail "an export without a runtime wrote something"
[ -z "$(ls -A "$E2E_WORK/elsewhere")" ] || e2e_fail "an export wrote into the working directory"
e2e_log "a full folder and a missing runtime: exit code 2, one line, nothing written"

# --map FILE goes in as the start area's map; a named file that is missing is reported and the
# world exported all the same (the page then reports it as tasko does).
cp "$W/MAPS/LVL0.dll" "$E2E_WORK/start.dll"
printf '0\r\n' >>"$E2E_WORK/start.dll"
mv "$W/CORE/systemtext.txt" "$E2E_WORK/systemtext.txt"
"$prefix/bin/tasko" --export-web "$E2E_WORK/page2" --map "$E2E_WORK/start.dll" "$W" >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt" ||
  e2e_fail "tasko --export-web --map failed: $(cat "$E2E_WORK/err.txt")"
grep -q "^tasko: the world names 'CORE/systemtext.txt', which is not there" "$E2E_WORK/err.txt" ||
  e2e_fail "the missing system texts were not named: $(cat "$E2E_WORK/err.txt")"
mv "$E2E_WORK/systemtext.txt" "$W/CORE/systemtext.txt"
python3 - "$E2E_WORK/page2" "$E2E_WORK/start.dll" <<'EOF' || e2e_fail "the --map file is not the packed start map"
import json, sys
package = json.load(open(sys.argv[1] + "/world.json"))
data = open(sys.argv[1] + "/world.data", "rb").read()
entry = [f for f in package["files"] if f["path"] == "MAPS/LVL0.dll"][0]
assert "CORE/systemtext.txt" not in [f["path"] for f in package["files"]]
sys.exit(data[entry["offset"]:entry["offset"] + entry["size"]] != open(sys.argv[2], "rb").read())
EOF
e2e_log "--map FILE is packed as the start area's map; a missing system text file is named"

# In the build tree, tasko finds the runtime scripts/web-build.sh built, or says how to build it.
if [ -f "$BUILD_DIR/share/tasko/web/tasko.wasm" ]; then
  "$TASKO" --export-web "$E2E_WORK/page3" "$W" >"$E2E_WORK/out.txt" 2>&1 || e2e_fail "the build tree's export failed: $(cat "$E2E_WORK/out.txt")"
  cmp -s "$BUILD_DIR/share/tasko/web/tasko.wasm" "$E2E_WORK/page3/tasko.wasm" || e2e_fail "the built runtime was not copied"
  e2e_log "build/bin/tasko --export-web copied the runtime of scripts/web-build.sh"
else
  "$TASKO" --export-web "$E2E_WORK/page3" "$W" >"$E2E_WORK/out.txt" 2>&1
  code=$?
  [ "$code" -eq 2 ] && grep -q "scripts/web-build.sh" "$E2E_WORK/out.txt" ||
    e2e_fail "build/bin/tasko without a built runtime: exit code $code, '$(cat "$E2E_WORK/out.txt")'"
  e2e_log "build/bin/tasko --export-web without a built runtime says to run scripts/web-build.sh"
fi

# plom: "MAP" -> "Export for Web..." with an edited map; the page's start map is that map, as
# "MAP *Save*" writes it. A folder that is not empty gets the error box. The folder is named
# after the world directory the requester shows.
PLOM=$prefix/bin/plom
plom_start
plom_wait_windows
plom_pick_tile "$(plom_tile_index crate)"
plom_keys c
plom_click 1000 800
# take_keys WINDOW: the click into the map gave plom's main window the keyboard; a requester
# opened after it gets it back explicitly.
take_keys() {
  sleep 0.5
  xdotool windowfocus --sync "$1"
  e2e_geometry "$1"
}
# save_map_as NAME: "MAP *Save*" with the name typed after the directory the requester shows.
save_map_as() {
  plom_menu_item 2
  e2e_wait_window '^MAP-BUILDER: Save MAP File:$' 10
  take_keys "$E2E_WINDOW"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) sleep 0.3 key End
  xdotool type --delay 40 "$1"
  xdotool key Return
  e2e_wait_no_window '^MAP-BUILDER: Save MAP File:$' 5 || e2e_fail "the save requester is still open"
}
export_into() {
  plom_menu 1 3
  e2e_wait_window '^MAP-BUILDER: Export for Web into Folder:$' 10
  take_keys "$E2E_WINDOW"
  # The folder list has the keyboard first: a click into the name field below it.
  xdotool mousemove $((X + WIDTH / 2 + 60)) $((Y + HEIGHT - 57)) sleep 0.3 click 1
  sleep 0.3
  local existed=0
  [ -d "$W/$1" ] && existed=1
  xdotool key End
  xdotool type --delay 40 "$1"
  xdotool key Return
  # An existing folder is entered by the first Return and chosen by the second.
  [ "$existed" -eq 1 ] && { sleep 0.5; xdotool key Return; }
  e2e_wait_no_window '^MAP-BUILDER: Export for Web into Folder:$' 5 ||
    { e2e_screenshot "$E2E_WORK/requester.png"; e2e_fail "the folder requester is still open after $1 (existed: $existed)"; }
}
export_into plompage
plom_answer_box '^MAP-BUILDER: Export for Web$' Return
[ -f "$W/plompage/world.json" ] || e2e_fail "plom wrote no world.json"
save_map_as edited.dll
e2e_wait_for_file_text "$W/edited.dll" "crate" 10 || e2e_fail "plom did not save the edited map"
count=$(check_package "$W/plompage" "$W" "MAPS/LVL0.dll=$W/edited.dll") ||
  e2e_fail "plom's package does not hold the world with the edited start map: $count"
cmp -s "$W/edited.dll" "$W/MAPS/LVL0.dll" && e2e_fail "the edit did not change the map"
[ ! -e "$W/USER/_WEBMAP" ] || e2e_fail "plom left its scratch map behind"
before=$(state "$W/plompage")
export_into plompage
plom_answer_box '^MAP BUILDER ERROR:$' Return
[ "$(state "$W/plompage")" = "$before" ] || e2e_fail "plom changed a folder that is not empty"
plom_quit
e2e_log "plom's Export for Web...: the edited map is the start area's map; a full folder is refused in a box"
e2e_pass
