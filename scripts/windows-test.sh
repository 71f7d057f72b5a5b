#!/usr/bin/env bash
# Tests the Windows build (scripts/windows-build.sh) under Wine on Xvfb:
#   1. the unit tests on the headless backend and the corpus replays, each program run once;
#   2. the GL renderer tests on llvmpipe and on softpipe (Wine's OpenGL goes to the host's Mesa);
#   3. end to end, the programs unpacked from build-windows/tasko-<version>-win64.zip into a
#      scratch directory and driven with the Linux end-to-end helpers (tests/e2e/lib.sh).
# Wine runs in a private prefix in build-windows/wineprefix, made once with `wineboot -i`.
# The Linux build in build/ is needed too: the Windows programs' outputs and files are compared
# with the Linux programs'. The last line is "windows: N passed, N failed"; the exit code is 1
# when anything failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
BUILD=$ROOT/build-windows
start=$SECONDS

./scripts/install-deps.sh --windows || exit 1
[ -f "$BUILD/windows-tests.txt" ] || { echo "windows-test: build it first: scripts/windows-build.sh" >&2; exit 1; }

export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export SDL_AUDIODRIVER=dummy
WINE=$(command -v wine64 || command -v wine)

passed=0
failed=0
failures=()
pass() { passed=$((passed + 1)); echo "windows: PASS $1"; }
fail() { failed=$((failed + 1)); failures+=("$1"); echo "windows: FAIL $1" >&2; }

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  t=$SECONDS
  "$WINE" wineboot -i >/dev/null 2>&1 || { echo "windows-test: wineboot failed" >&2; exit 1; }
  echo "windows: Wine prefix made in $((SECONDS - t)) s"
fi
# Wine's pointer grabs as a person's own prefix has them: on (a prefix made by an earlier
# version of this script had them turned off). With plom's main window covering the screen,
# Wine grabs the pointer through a full-screen input window; the programs are tested with it.
for value in GrabPointer GrabFullscreen; do
  "$WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v "$value" /f >/dev/null 2>&1
done
# Wine's desktop process belongs to the X display of the first program of a wineserver's life:
# the server is ended before each step that runs on another display, so its programs get theirs.
# The new server stays until it is ended here: one that ends by itself once its last program
# has gone would drop a program started in that moment ("recvmsg: Connection reset by peer").
end_wineserver() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}
fresh_wineserver() {
  end_wineserver
  wineserver -p
}
trap end_wineserver EXIT
# The overlay's font lies beside the programs, as in the package.
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$BUILD/tests/"

# --- unit tests, corpus replays and renderer tests ---------------------------------------------
# Tests left out on Windows, by program, each with its reason:
#  (regex) death tests that match the dying process's output with [], () or |: GoogleTest on
#    Windows has only its simple regular expressions, which lack them;
#  (own directory) death tests that check files in a scratch directory named by the process
#    number: on Windows a death test runs in a new process (there is no fork), with its own;
#  (scripts) programs found and started as shell scripts with execute permission: Windows runs
#    programs by their extension; F5 and the program search are tested end to end below;
#  (bench world) written by bench/make_world.sh, a shell script;
#  (warp) the pointer warped outside the window: Wine sends no leave message after a warp, so
#    SDL still counts the pointer inside;
#  (box) message boxes without a display: a Windows program always has a desktop for them, and
#    under Wine the box opens and waits for an answer.
# The reasons stand in brackets before each program's list, in the order of its names.
declare -A EXCLUDE=(
  # (regex) (scripts) (scripts)
  [platform_core_tests]="-CoreFault.RaisedSignalsReachTheRoutineWithTheLastMark:CoreProcess.FindsOnlyExecutableFilesAlongThePathInOrder:CoreProcess.StartedProgramRunsInItsDirectoryWithoutBlocking"
  # (own directory) (own directory)
  [engine_tests]="-FatalTest.FaultInsideTheMainLoopWritesTheNineLineEntry:FatalTest.UncaughtExceptionInTheLoopTakesTheFaultPath"
  # (regex) (own directory) (own directory) (scripts) (scripts)
  [builder_tests]="-BuilderRun.QuitAsksAndOnlyYesEndsTheLoopWithExitCodeZero:BuilderRun.AFaultLeavesTheLogEntryAndTheCrashBackup:BuilderConfiguration.MissingChainFileEndsTheBuilderWithItsPathAndExitCodeZero:BuilderPlayMap.F5WritesTheScratchMapAndStartsTheEngineOnceThenBringsItForward:BuilderPlayMap.AnEngineThatCannotBeFoundOrStartedIsReported"
  # (box) (warp)
  [platform_gl_tests]="-SdlDialogsDeathTest.*:SdlMouse.PositionIsRelativeToTheScreenWindowAndMotionIsPerPoll"
  # (bench world)
  [engine_gl_tests]="-BenchWorld*"
)
# run_program NAME FILE [ARGUMENTS] [GL_DRIVER]: one test program, its result counted. A GL test
# program runs on each of Mesa's two software drivers (the second time as NAME_softpipe), as on
# Linux.
run_program() {
  local name=$1 file=$2 arguments=$3 driver=${4:-llvmpipe} shown=$1
  [ "$driver" = llvmpipe ] || shown=${name}_$driver
  local log=$BUILD/tests/$shown.windows.log
  local filter=()
  [ -n "${EXCLUDE[$name]:-}" ] && filter=(--gtest_filter="${EXCLUDE[$name]}")
  # shellcheck disable=SC2086  # the corpus directory is one word
  case "$name" in
    *_gl_tests)
      fresh_wineserver
      (cd "$BUILD/tests" && GALLIUM_DRIVER=$driver EXPECTED_GL_DRIVER=$driver \
        timeout 900 "$ROOT/scripts/with-display.sh" "$WINE" "./$file" "${filter[@]}") >"$log" 2>&1 ;;
    replay_*)
      (cd "$BUILD/tests" && timeout 600 "$WINE" "./$file" "$ROOT/$arguments") >"$log" 2>&1 ;;
    *)
      (cd "$BUILD/tests" && timeout 600 "$WINE" "./$file" "${filter[@]}") >"$log" 2>&1 ;;
  esac
  local code=$?
  local summary
  summary=$(grep -E '^\[  PASSED  \]|^\[  FAILED  \] [0-9]+ test' "$log" | tr '\n' ' ')
  if [ "$code" -eq 0 ]; then
    pass "$shown ${summary:-$(tail -n 1 "$log")}"
  else
    fail "$shown (exit code $code) ${summary}"
    grep -E '^\[  FAILED  \]' "$log" | head -n 20 >&2
    tail -n 20 "$log" >&2
  fi
}
t=$SECONDS
fresh_wineserver
while read -r name file arguments; do
  [ -n "$name" ] || continue
  run_program "$name" "$file" "$arguments"
  case "$name" in *_gl_tests) run_program "$name" "$file" "$arguments" softpipe ;; esac
done <"$BUILD/windows-tests.txt"
echo "windows: test programs took $((SECONDS - t)) s"

# --- end to end ---------------------------------------------------------------------------------
zip=$(ls -t "$BUILD"/tasko-*-win64.zip 2>/dev/null | head -n 1)
linux_tasko=$ROOT/build/bin/tasko
linux_plom=$ROOT/build/bin/plom
if [ -z "$zip" ]; then
  fail "the package build-windows/tasko-<version>-win64.zip is missing"
elif [ ! -x "$linux_tasko" ] || [ ! -x "$linux_plom" ]; then
  fail "the Linux programs are not built (./test.sh or cmake --build build); they are compared with the .exe files"
else
  t=$SECONDS
  scratch=$(mktemp -d)
  unzip -q "$zip" -d "$scratch" || fail "cannot unpack $(basename "$zip")"
  package=$(dirname "$(find "$scratch" -name tasko.exe | head -n 1)")
  # The end-to-end helpers start "$TASKO"; a wrapper makes that tasko.exe under Wine (Wine keeps
  # the process id and passes the exit code through).
  cat >"$scratch/tasko" <<EOF
#!/bin/sh
exec "$WINE" "$package/tasko.exe" "\$@"
EOF
  cp "$BUILD/tests/tasko_draw_fault.exe" "$BUILD/tests/plom_draw_fault.exe" "$package/"
  for program in tasko_draw_fault plom plom_draw_fault; do
    cat >"$scratch/$program" <<EOF
#!/bin/sh
exec "$WINE" "$package/$program.exe" "\$@"
EOF
  done
  chmod +x "$scratch/tasko" "$scratch/tasko_draw_fault" "$scratch/plom" "$scratch/plom_draw_fault"
  # Wine's windows get keys only from a window manager's focus: every test runs under openbox.
  for script in tests/e2e/test_demo_area.sh tests/e2e/windows/test_tasko_exe.sh tests/e2e/windows/test_plom_exe.sh; do
    log=$BUILD/$(basename "$script" .sh).windows.log
    fresh_wineserver
    if E2E_WM=openbox timeout 600 env TASKO=$scratch/tasko TASKO_PACKAGE=$package TASKO_DRAW_FAULT=$scratch/tasko_draw_fault \
      PLOM=$scratch/plom PLOM_DRAW_FAULT=$scratch/plom_draw_fault LINUX_TASKO=$linux_tasko \
      LINUX_PLOM=$linux_plom SOURCE_DIR=$ROOT BUILD_DIR=$BUILD bash "$script" >"$log" 2>&1; then
      pass "$(basename "$script") (Windows programs)"
    else
      fail "$(basename "$script") (Windows programs)"
      tail -n 30 "$log" >&2
    fi
  done
  rm -rf "$scratch"
  echo "windows: end-to-end tests took $((SECONDS - t)) s"
fi

echo "windows: everything took $((SECONDS - start)) s"
for failure in "${failures[@]}"; do echo "windows: failed: $failure"; done
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
