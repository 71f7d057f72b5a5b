#!/usr/bin/env bash
# Installing into a staging directory: programs, manual pages, desktop entries, icons and the
# demo world template land in their places; the installed programs answer --help and run on a
# copy of the installed demo world (tasko draws the demo area, plom opens and quits with 0).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/plom_lib.sh"

e2e_begin
stage=$E2E_WORK/stage
e2e_install "$stage"
for file in bin/tasko bin/plom share/man/man6/tasko.6 share/man/man6/plom.6 share/man/man5/tasko-dna.5 \
  share/applications/tasko.desktop share/applications/plom.desktop \
  share/icons/hicolor/48x48/apps/tasko.png share/icons/hicolor/48x48/apps/plom.png \
  share/tasko/demo/CORE/ini.crc share/tasko/demo/_DATA/ini.txt share/tasko/demo/MAPS/LVL0.dll; do
  [ -f "$stage/$file" ] || e2e_fail "not installed: $file"
done
[ ! -e "$stage/share/tasko/demo/.gitignore" ] || e2e_fail "the demo template holds the repository's .gitignore"
grep -q '^Exec=plom' "$stage/share/applications/plom.desktop" || e2e_fail "plom's desktop entry does not start plom"
grep -q 'F5' "$stage/share/man/man6/plom.6" || e2e_fail "plom's manual page does not describe F5"
for program in tasko plom; do
  "$stage/bin/$program" --help >"$E2E_WORK/help.txt" 2>&1 || e2e_fail "installed $program --help failed"
  grep -q "^usage: $program" "$E2E_WORK/help.txt" || e2e_fail "installed $program --help shows no usage"
done

# The web runtime is installed when scripts/web-build.sh built it; the installed tasko exports
# with it, or says in one line how to build it.
if [ -f "$SOURCE_DIR/build-web/tasko.wasm" ]; then
  for file in index.html tasko.js tasko.wasm; do
    cmp -s "$SOURCE_DIR/build-web/$file" "$stage/share/tasko/web/$file" || e2e_fail "the web runtime file $file is not installed"
  done
  "$stage/bin/tasko" --export-web "$E2E_WORK/page" "$stage/share/tasko/demo" >"$E2E_WORK/export.txt" 2>&1 ||
    e2e_fail "the installed tasko --export-web failed: $(cat "$E2E_WORK/export.txt")"
  cmp -s "$SOURCE_DIR/build-web/tasko.wasm" "$E2E_WORK/page/tasko.wasm" || e2e_fail "the export lacks the installed runtime"
  e2e_log "the web runtime is installed and the installed tasko exports with it"
else
  "$stage/bin/tasko" --export-web "$E2E_WORK/page" "$stage/share/tasko/demo" >"$E2E_WORK/export.txt" 2>&1
  code=$?
  [ "$code" -eq 2 ] && grep -q "scripts/web-build.sh" "$E2E_WORK/export.txt" && [ ! -e "$E2E_WORK/page" ] ||
    e2e_fail "the installed tasko without a web runtime: exit code $code, '$(cat "$E2E_WORK/export.txt")'"
  e2e_log "no web runtime built: the installed tasko --export-web says how to build it"
fi

# The installed programs on a copy of the installed template.
rm -rf "$E2E_WORLD"
cp -R "$stage/share/tasko/demo" "$E2E_WORLD" || e2e_fail "cannot copy the installed demo world"
TASKO=$stage/bin/tasko
e2e_start_tasko
e2e_wait_world_window
e2e_wait_demo_drawn .png 6 1 20
e2e_quit_engine
e2e_log "installed tasko drew the demo area and ended with 0"

PLOM=$stage/bin/plom
plom_start
plom_wait_windows
plom_quit
e2e_log "installed plom opened its windows and quit with 0"
e2e_pass
