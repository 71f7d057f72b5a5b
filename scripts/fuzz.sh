#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/ and runs each on one core for the given time or FUZZ_MAX_RUNS executions (default
# 10 million), whichever comes first, keeping its corpus under
# fuzz/corpus/<target>/. The corpus is seeded from the demo world's files and the test images,
# and minimised after every run (-merge=1), so what is committed stays small. Per target it
# prints the executions, the CPU seconds, the coverage (cov/ft) and the findings; the exit code is 1 when any
# target found a crash, a leak, a timeout or ran out of memory.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]     (default 60 seconds, every target)
#
# FUZZ_BUILD_DIR picks another build folder, FUZZ_JOBS the build's parallel jobs (default 2).
# Findings stay in build-fuzz/fuzz-run/<target>/findings/; rerun one with
#   build-fuzz/fuzz/<target> build-fuzz/fuzz-run/<target>/findings/crash-...
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift $(( $# > 0 ? 1 : 0 ))
all_targets=(fuzz_world_files fuzz_text_lines fuzz_images fuzz_tiled fuzz_engine_area fuzz_engine_descriptor fuzz_engine_config
  fuzz_builder_config fuzz_builder_map)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${FUZZ_JOBS:-2}
max_runs=${FUZZ_MAX_RUNS:-10000000}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null 2>&1; then sudo "$@"; else
    echo "fuzz.sh: not root and sudo is not available; install clang and its libFuzzer runtime" >&2
    exit 2
  fi
}

# clang with the libFuzzer runtime (Debian ships it in libclang-rt-<version>-dev).
fuzzer_links() {
  local probe
  probe=$(mktemp -d)
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1
  local status=$?
  rm -rf "$probe"
  return $status
}
if ! command -v clang++ >/dev/null 2>&1 || ! fuzzer_links; then
  echo "fuzz.sh: installing clang and its libFuzzer runtime"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends clang
  major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
  fuzzer_links || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "libclang-rt-$major-dev"
  fuzzer_links || { echo "fuzz.sh: clang cannot link libFuzzer targets" >&2; exit 2; }
fi

"$root/scripts/install-deps.sh" || exit 2
configure_log=$(mktemp)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DFUZZ=ON -DBUILD_TESTS=OFF -DBUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$configure_log" 2>&1 || { cat "$configure_log"; exit 2; }
cmake --build "$build" -j"$jobs" --target "${targets[@]}" || exit 2

# Seeds: small real files of the kind each target reads.
seed() {
  local target=$1 into=$2
  case $target in
    fuzz_world_files | fuzz_text_lines)
      cp "$root"/demo/MAPS/*.dll "$root"/demo/CORE/* "$root"/demo/GFX/hero.dll "$root"/demo/GFX/wall.dll "$into"/ ;;
    fuzz_images)
      cp "$root"/demo/GFX/beetle.png "$root"/demo/GFX/barrel.png "$root"/demo/ANIM/hero/LEFT/1.png \
        "$root"/tests/data/* "$into"/ ;;
    # Tiled's own small example maps, when the package is installed.
    fuzz_tiled) cp /usr/share/doc/tiled/examples/sewers.tmx /usr/share/doc/tiled/examples/sewer_automap/rule_00[1-3].tmx "$into"/ 2>/dev/null || true ;;
    fuzz_engine_area) cp "$root"/demo/MAPS/*.dll "$into"/ ;;
    fuzz_engine_descriptor) cp "$root"/demo/GFX/*.dll "$into"/ ;;
    fuzz_engine_config) cp "$root"/demo/CORE/ini.crc "$into"/ ;;
    # The first byte picks the file of the chain the rest replaces (see the target).
    fuzz_builder_config)
      local i=0 file
      for file in ini.txt script.txt app.txt gui.txt codecs.txt DNA.dll; do
        { printf "\\$(printf '%03o' "$i")"; cat "$root/demo/_DATA/$file"; } >"$into/$file"
        i=$((i + 1))
      done ;;
    fuzz_builder_map) cp "$root"/demo/1 "$into"/ ;;
  esac
}
# Inputs are kept short (the corpus stays small); the text targets get the world files' words.
max_len() { case $1 in fuzz_images | fuzz_tiled) echo 8192 ;; *) echo 1024 ;; esac; }
dictionary() { case $1 in fuzz_images) ;; *) echo "-dict=$root/fuzz/world_files.dict" ;; esac; }

# Undefined behaviour ends the run like a crash (by default UBSan reports and goes on).
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}

found_any=0
summary=()
for target in "${targets[@]}"; do
  binary=$build/fuzz/$target
  corpus=$root/fuzz/corpus/$target
  work=$build/fuzz-run/$target
  rm -rf "$work"
  mkdir -p "$corpus" "$work/new" "$work/seeds" "$work/findings" "$work/merged"
  seed "$target" "$work/seeds"
  echo "== $target: $seconds s or $max_runs executions"
  # From the work folder, so scratch files of the targets stay out of the repository; the CPU
  # time of the run (user + system) ends the log.
  TIMEFORMAT='cpu-seconds %U %S'
  { time (cd "$work" && "$binary" -max_total_time="$seconds" -runs="$max_runs" -print_final_stats=1 \
    -max_len="$(max_len "$target")" -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$work/findings/" \
    $(dictionary "$target") "$work/new" "$corpus" "$work/seeds"); } >"$work/fuzz.log" 2>&1
  cpu=$(sed -n 's/^cpu-seconds //p' "$work/fuzz.log" | awk '{ printf "%.0f", $1 + $2 }')
  # The smallest set of inputs that keeps all the coverage replaces the corpus's hash-named
  # inputs; inputs with names of their own (past findings kept as regression cases) stay.
  (cd "$work" && "$binary" -merge=1 -max_len="$(max_len "$target")" -timeout=30 -rss_limit_mb=2048 \
    "$work/merged" "$corpus" "$work/new" "$work/seeds") >"$work/merge.log" 2>&1
  if [ -n "$(ls -A "$work/merged")" ]; then
    find "$corpus" -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete
    cp "$work/merged"/* "$corpus"/
  fi

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -n 1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$work/fuzz.log" | tail -n 1)
  findings=$(find "$work/findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | sort)
  count=0
  [ -n "$findings" ] && count=$(echo "$findings" | wc -l)
  files=$(find "$corpus" -type f | wc -l)
  size=$(( ($(find "$corpus" -type f -exec cat {} + | wc -c) + 1023) / 1024 ))
  line=$(printf '%-24s executions %-9s cpu %5s s  %-20s corpus %4s files %4s KB  findings %s' \
    "$target" "${runs:-?}" "${cpu:-?}" "${coverage:-cov: ? ft: ?}" "$files" "$size" "$count")
  echo "$line"
  summary+=("$line")
  if [ "$count" -gt 0 ]; then
    found_any=1
    echo "$findings" | sed 's/^/    /'
    grep -m 3 -E 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error' "$work/fuzz.log" | sed 's/^/    /'
  fi
done

echo
echo "== summary ($seconds s or $max_runs executions per target)"
printf '%s\n' "${summary[@]}"
exit $found_any
