#!/usr/bin/env bash
# Builds the third-party libraries of tasko and plom for a cross target from
# Debian's source packages into one prefix of static libraries:
#   scripts/windows-deps.sh          64-bit Windows (MinGW-w64): the executables
#                                    link statically and need no DLLs besides
#                                    the system ones
#   scripts/windows-deps.sh --web    the browser (Debian's emscripten): the
#                                    engine's libraries as WebAssembly archives
#
# The prefix lives outside the repository and is kept between runs, under
#   ${TASKO_WINDOWS_DEPS_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/tasko-windows-deps}/<key>
#   ${TASKO_WEB_DEPS_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/tasko-web-deps}/<key>
# where <key> hashes the source package versions, the cross toolchain version,
# this script and the CMake toolchain file: changing any of them builds anew.
# A complete prefix holds a stamp file; when it is there nothing else happens.
#
# Progress goes to stderr; the last line of stdout is the prefix:
#   prefix=$(scripts/windows-deps.sh | tail -n 1)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
self="$here/$(basename "${BASH_SOURCE[0]}")"
target=windows
case "${1:-}" in
  "" | --windows) ;;
  --web) target=web ;;
  *) echo "usage: $0 [--windows | --web]" >&2; exit 2 ;;
esac

if [ $target = windows ]; then
toolchain=$(cd "$here/../cmake" && pwd)/mingw-w64-x86_64.cmake
host=x86_64-w64-mingw32
# The posix thread model variant, as in the toolchain file: std::thread and
# friends work with it, and libwinpthread is linked statically.
cc=$host-gcc-posix
cxx=$host-g++-posix
jobs=${TASKO_WINDOWS_DEPS_JOBS:-2}
root=${TASKO_WINDOWS_DEPS_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/tasko-windows-deps}
stamp_name=.tasko-windows-deps-complete

source_packages=(libsdl2 libsdl2-mixer libpng1.6 libjpeg-turbo tiff freetype libepoxy googletest pugixml)
# Host tools the build needs; the mingw packages bring the cross compilers and zlib.
build_packages=(
  cmake ninja-build meson python3 pkg-config nasm dpkg-dev xz-utils bzip2
  g++-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64
)
toolchain_packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev)
else
# emscripten's own CMake platform file; its compilers run on node, which needs
# NODE_PATH to find Debian's acorn.
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
host=wasm32-emscripten
cc=emcc
cxx=em++
export NODE_PATH=/usr/share/nodejs
jobs=${TASKO_WEB_DEPS_JOBS:-2}
root=${TASKO_WEB_DEPS_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/tasko-web-deps}
stamp_name=.tasko-web-deps-complete
# Only the engine runs in the browser: no GL loader (WebGL is linked directly),
# no test framework; zlib from Debian's source (emscripten's port would be a
# download).
source_packages=(libsdl2 libsdl2-mixer libpng1.6 libjpeg-turbo tiff freetype zlib pugixml)
build_packages=(cmake ninja-build python3 pkg-config dpkg-dev xz-utils bzip2 emscripten nodejs)
toolchain_packages=(emscripten clang-14 binaryen)
fi

eval "$(apt-config shell apt_lists Dir::State::lists/d apt_parts Dir::Etc::sourceparts/d \
  apt_list Dir::Etc::sourcelist/f)"

say() { echo "$target-deps: $*" >&2; }
die() { say "error: $*"; exit 1; }

# ---------------------------------------------------------------------------
# Cache key and the quick path

# Prints "<file name>" lines of every file `apt-get source` would fetch for the
# source packages (the .dsc names carry the versions). Fails when apt knows no
# sources for one of them, e.g. when there is no deb-src entry yet.
source_file_list() {
  (cd / && apt-get source --print-uris -qq "${source_packages[@]}" 2>/dev/null) |
    sed -n "s/^'[^']*' \([^ ]*\) .*/\1/p" | sort
}

# The same list, remembered for the current state of apt's source indexes:
# asking apt takes seconds, and the run that finds its prefix complete must not.
remembered_source_file_list() {
  local state memo files
  state=$(stat -c '%n %s %Y' "$apt_lists"*_Sources* 2>/dev/null) || state=
  if [ -z "$state" ]; then
    source_file_list
    return
  fi
  memo=$root/.source-files-$(sha256sum <<<"$state ${source_packages[*]}" | cut -c1-16)
  if [ -s "$memo" ]; then
    cat "$memo"
    return
  fi
  files=$(source_file_list) || return 1
  if mkdir -p "$root" 2>/dev/null; then
    rm -f "$root"/.source-files-*
    printf '%s\n' "$files" >"$memo.$$" && mv "$memo.$$" "$memo"
  fi
  printf '%s\n' "$files"
}

# The key of a prefix: everything the build result depends on.
compute_key() {
  local files
  files=$(remembered_source_file_list) || return 1
  local package
  for package in "${source_packages[@]}"; do
    grep -q "^${package}_.*\.dsc$" <<<"$files" || return 1
  done
  {
    grep '\.dsc$' <<<"$files"
    dpkg-query -W -f='${Package} ${Version}\n' "${toolchain_packages[@]}" 2>/dev/null || true
    sha256sum <"$self"
    sha256sum <"$toolchain"
  } | sha256sum | cut -c1-16
}

if key=$(compute_key) && [ -f "$root/$key/$stamp_name" ]; then
  echo "$root/$key"
  exit 0
fi

# ---------------------------------------------------------------------------
# Packages and Debian's source archive

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 ||
    die "not root and sudo is not available; cannot install packages or add deb-src entries"
  as_root=(sudo)
fi
apt_get() { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

deb_src_file="${apt_parts}tasko-deb-src.sources"

# Writes deb-src entries mirroring the machine's deb entries for Debian's own
# archive: those signed with a Debian archive keyring, or whose downloaded
# Release file names Debian as its origin, or (classic lines without signing
# options before anything was downloaded) whose suite belongs to the running
# release. Entries of other repositories are left alone, and so are archives
# that have a deb-src entry already.
derived_deb_src() {
  python3 - "$apt_list" "$apt_parts" "$apt_lists" "$deb_src_file" <<'PY'
import glob, os, re, sys

source_list, parts, lists, own_file = sys.argv[1:5]
codename = ""
try:
    with open("/etc/os-release") as f:
        for line in f:
            if line.startswith("VERSION_CODENAME="):
                codename = line.split("=", 1)[1].strip().strip('"')
except OSError:
    pass

def deb822_entries(path):
    with open(path) as f:
        text = f.read()
    for paragraph in re.split(r"\n\s*\n", text):
        fields, last = {}, None
        for line in paragraph.splitlines():
            if line.startswith("#"):
                continue
            if line[:1] in (" ", "\t") and last:
                fields[last] += "\n" + line.strip()
                continue
            if ":" in line:
                last, value = line.split(":", 1)
                last = last.strip().lower()
                fields[last] = value.strip()
        if not fields or fields.get("enabled", "yes").lower() == "no":
            continue
        yield {
            "types": fields.get("types", "").split(),
            "uris": fields.get("uris", "").split(),
            "suites": fields.get("suites", "").split(),
            "components": fields.get("components", "").split(),
            "signed_by": fields.get("signed-by", ""),
            "classic": False,
        }

def classic_entries(path):
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            options = {}
            match = re.match(r"^(\S+)\s+\[([^\]]*)\]\s*(.*)$", line)
            if match:
                kind, rest = match.group(1), match.group(3)
                for option in match.group(2).split():
                    if "=" in option:
                        name, value = option.split("=", 1)
                        options[name.lower()] = value
            else:
                kind, _, rest = line.partition(" ")
            words = rest.split()
            if kind not in ("deb", "deb-src") or len(words) < 2:
                continue
            yield {
                "types": [kind],
                "uris": [words[0]],
                "suites": [words[1]],
                "components": words[2:],
                "signed_by": options.get("signed-by", ""),
                "classic": True,
            }

def release_origin(uri, suite):
    # apt names its list files after the URI without its scheme, '/' as '_'.
    def quote(text):
        return "".join("%%%02x" % ord(c) if c in "\\|{}[]<>\"^~_=!@#$%&*" else c
                       for c in text)
    base = quote(re.sub(r"^[a-z0-9+]+://([^@/]*@)?", "", uri.rstrip("/")))
    base = base.replace("/", "_") + "_dists_" + quote(suite.rstrip("/")).replace("/", "_")
    for name in ("InRelease", "Release"):
        try:
            with open(os.path.join(lists, f"{base}_{name}"), errors="replace") as f:
                for line in f:
                    if line.startswith("Origin:"):
                        return line.split(":", 1)[1].strip()
        except OSError:
            continue
    return None

def is_debian(entry, uri, suite):
    signed_by = entry["signed_by"]
    if signed_by and "\n" not in signed_by:
        if any(os.path.basename(key).startswith("debian-archive-") for key in signed_by.split(",")):
            return True
    origin = release_origin(uri, suite)
    if origin is not None:
        return origin == "Debian"
    return (entry["classic"] and not signed_by and codename != ""
            and re.split(r"[-/]", suite)[0] == codename)

entries = []
if os.path.isfile(source_list):
    entries += list(classic_entries(source_list))
for path in sorted(glob.glob(os.path.join(parts, "*.list"))):
    entries += list(classic_entries(path))
for path in sorted(glob.glob(os.path.join(parts, "*.sources"))):
    if os.path.abspath(path) != os.path.abspath(own_file):
        entries += list(deb822_entries(path))

have_src = {(uri.rstrip("/"), suite) for e in entries if "deb-src" in e["types"]
            for uri in e["uris"] for suite in e["suites"]}

groups = {}
for entry in entries:
    if "deb" not in entry["types"]:
        continue
    for uri in entry["uris"]:
        for suite in entry["suites"]:
            if (uri.rstrip("/"), suite) in have_src or not is_debian(entry, uri, suite):
                continue
            signed_by = entry["signed_by"] if "\n" not in entry["signed_by"] else ""
            group = groups.setdefault((uri, " ".join(entry["components"]), signed_by), [])
            if suite not in group:
                group.append(suite)

paragraphs = []
for (uri, components, signed_by), suites in groups.items():
    lines = ["Types: deb-src", f"URIs: {uri}", f"Suites: {' '.join(suites)}",
             f"Components: {components}"]
    if signed_by:
        lines.append(f"Signed-By: {signed_by}")
    paragraphs.append("\n".join(lines))
if paragraphs:
    print("# Debian source archives for scripts/windows-deps.sh of tasko,")
    print("# derived from this machine's deb entries for Debian's archive.")
    print("\n\n".join(paragraphs))
PY
}

ensure_deb_src() {
  local wanted
  wanted=$(derived_deb_src) || die "could not read the apt source entries"
  if [ -z "$wanted" ]; then
    if [ -f "$deb_src_file" ]; then
      say "the deb-src entries of $deb_src_file are still in use"
    else
      say "no deb entries of Debian's archive without deb-src found; relying on existing deb-src entries"
    fi
    return
  fi
  if [ ! -f "$deb_src_file" ] || [ "$(cat "$deb_src_file")" != "$wanted" ]; then
    say "writing $deb_src_file"
    printf '%s\n' "$wanted" | "${as_root[@]}" tee "$deb_src_file" >/dev/null
  fi
}

missing_packages() {
  local package status
  for package in "${build_packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || echo "$package"
  done
}

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -gt 0 ]; then
  say "installing missing packages: ${missing[*]}"
  apt_get update -qq >&2 || die "apt-get update failed"
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
ensure_deb_src
say "apt-get update"
apt_get update -qq >&2 || die "apt-get update failed"

key=$(compute_key) ||
  die "apt knows no source package for one of: ${source_packages[*]} (is there a deb-src entry for Debian's archive?)"
prefix=$root/$key

mkdir -p "$root"
exec 9>"$root/.lock"
flock 9
if [ -f "$prefix/$stamp_name" ]; then
  echo "$prefix"
  exit 0
fi

# ---------------------------------------------------------------------------
# Fetching and unpacking the sources

work=$root/work-$key
stage=$root/$key.partial
downloads=$root/downloads
rm -rf "$work" "$stage" "$prefix"
mkdir -p "$work/src" "$work/build" "$work/logs" "$stage/lib/pkgconfig" "$downloads"
trap 'rm -rf "$stage"' EXIT
# Relative paths given to a build (CMake turns some into absolute ones against
# the current directory) stay inside the work dir.
cd "$work"
say "building into $prefix (work dir $work)"

all_files=$(source_file_list)

# Unpacks source package $1 into $work/src/$1, with Debian's patches applied
# when the whole source package came through, else from the upstream tarball.
# When the newest version cannot be fetched (an archive the machine's apt
# lists name but cannot serve, such as a security update missing from a
# mirror), the other versions apt knows are tried, newest first.
fetch_source() {
  local package=$1 version
  fetch_version "$package" "$package" "$(grep "^${package}_" <<<"$all_files")" && return
  for version in $(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' |
    sort -u | sort -r -V); do
    say "$package: trying version $version"
    fetch_version "$package" "$package=$version" "$(cd / && apt-get source --print-uris -qq \
      "$package=$version" 2>/dev/null | sed -n "s/^'[^']*' \([^ ]*\) .*/\1/p")" && return
  done
  tail -n 20 "$work/logs/fetch.log" >&2
  die "could not fetch the source of $package"
}

# Fetches source package $2 ("name" or "name=version") whose files are $3 and
# unpacks it into $work/src/$1; fails when neither it nor its upstream tarball
# came through.
fetch_version() {
  local package=$1 request=$2 files=$3 dir=$work/src/$1 dsc orig file complete=yes
  (cd "$downloads" && apt-get source --download-only -q "$request") >>"$work/logs/fetch.log" 2>&1 || true
  dsc=$(grep '\.dsc$' <<<"$files") || return 1
  for file in $files; do
    [ -s "$downloads/$file" ] || complete=no
  done
  if [ $complete = yes ] &&
    dpkg-source --no-copy -x "$downloads/$dsc" "$dir" >>"$work/logs/fetch.log" 2>&1; then
    echo "$dsc" >>"$work/used-sources.txt"
    return
  fi
  rm -rf "$dir"
  orig=$(grep -E '\.orig\.tar\.[a-z0-9]+$' <<<"$files" | head -n 1)
  [ -n "$orig" ] && [ -s "$downloads/$orig" ] || return 1
  say "$package: Debian's packaging is not available, using the upstream tarball $orig"
  mkdir -p "$dir"
  tar -xf "$downloads/$orig" -C "$dir" --strip-components=1
  echo "$orig" >>"$work/used-sources.txt"
}

# ---------------------------------------------------------------------------
# Building

# Runs a library's build function with its output in $work/logs/<name>.log,
# shown (its end) only when the build fails; reports the time taken.
build() {
  local name=$1 start=$SECONDS log=$work/logs/$1.log
  shift
  say "$name ..."
  # In the background so that errexit holds inside the build function.
  ("$@") >"$log" 2>&1 &
  if ! wait $!; then
    tail -n 60 "$log" >&2
    die "$name failed after $((SECONDS - start)) s; full log: $log"
  fi
  say "$name done in $((SECONDS - start)) s"
}

cmake_project() {
  local name=$1 source=$2 target_options=()
  shift 2
  if [ $target = windows ]; then
    target_options=(-DTASKO_WINDOWS_DEPS="$stage")
  else
    # The libraries find each other in the prefix; emscripten's own SDL headers
    # (its port) stay out of every unit. Configure checks run their test
    # programs on node (emscripten's CheckTypeSize does), whose fetch() the
    # loader of this emscripten cannot use for a local file.
    target_options=(-DCMAKE_FIND_ROOT_PATH="$stage" -DCMAKE_PREFIX_PATH="$stage"
      "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--no-experimental-fetch"
      -DCMAKE_C_FLAGS="-sUSE_SDL=0" -DCMAKE_CXX_FLAGS="-sUSE_SDL=0"
      -DZLIB_INCLUDE_DIR="$stage/include" -DZLIB_LIBRARY="$stage/lib/libz.a")
  fi
  cmake -S "$source" -B "$work/build/$name" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${target_options[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build "$work/build/$name" --parallel "$jobs"
  cmake --install "$work/build/$name"
}

build_zlib() {
  [ $target = web ] && { build_zlib_source; return; }
  # zlib comes built from the mingw package; its pkg-config file goes into the
  # prefix so that Requires: zlib resolves there.
  local libdir
  libdir=$(dirname "$("$cc" -print-file-name=libz.a)")
  [ -f "$libdir/libz.a" ] || { echo "libz.a not found for $host"; return 1; }
  [ -f "$libdir/pkgconfig/zlib.pc" ] || { echo "zlib.pc not found for $host"; return 1; }
  cp "$libdir/pkgconfig/zlib.pc" "$stage/lib/pkgconfig/zlib.pc"
}

# zlib's own configure script, with emscripten's compiler: a static library and
# its pkg-config file.
build_zlib_source() {
  local build=$work/build/zlib
  rm -rf "$build"
  cp -a "$work/src/zlib" "$build"
  cd "$build"
  CC=emcc AR=emar RANLIB=emranlib CFLAGS="-O2" ./configure --static --prefix="$stage"
  make -j "$jobs" libz.a
  make install
}

build_libpng() {
  cmake_project libpng "$work/src/libpng1.6" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON
}

build_libjpeg() {
  local simd=ON
  command -v nasm >/dev/null || simd=OFF
  [ $target = web ] && simd=OFF
  cmake_project libjpeg-turbo "$work/src/libjpeg-turbo" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
    -DWITH_SIMD=$simd -DCMAKE_ASM_NASM_COMPILER=nasm
}

build_libtiff() {
  cmake_project libtiff "$work/src/tiff" \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Dpixarlog=ON -Djpeg12=OFF -Dcxx=OFF \
    -Dwebp=OFF -Dzstd=OFF -Dlzma=OFF -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF
}

build_freetype() {
  cmake_project freetype "$work/src/freetype" \
    -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

build_libepoxy() {
  local cross=$work/build/mingw-w64.meson
  cat >"$cross" <<EOF
[binaries]
c = '$cc'
cpp = '$cxx'
ar = '$host-gcc-ar-posix'
strip = '$host-strip'
windres = '$host-windres'
pkg-config = 'pkg-config'

[properties]
pkg_config_libdir = '$stage/lib/pkgconfig'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
  meson setup "$work/build/libepoxy" "$work/src/libepoxy" --cross-file "$cross" \
    --prefix "$stage" --libdir lib --buildtype release --default-library static \
    -Dtests=false -Ddocs=false -Dglx=no -Degl=no -Dx11=false
  meson compile -C "$work/build/libepoxy" -j "$jobs"
  meson install -C "$work/build/libepoxy"
}

build_sdl2() {
  [ $target = web ] && { build_sdl2_web; return; }
  # The programs draw with OpenGL themselves: SDL's 2D renderer and Vulkan are left out.
  cmake_project sdl2 "$work/src/libsdl2" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF \
    -DSDL_INSTALL_TESTS=OFF -DSDL_WASAPI=ON -DSDL_DIRECTX=ON -DSDL_OPENGL=ON \
    -DSDL_RENDER=OFF -DSDL_VULKAN=OFF
}

# SDL on emscripten: no threads (the page runs the engine on its main thread),
# WebGL 2 through its OpenGL ES path, audio through Web Audio.
build_sdl2_web() {
  cmake_project sdl2 "$work/src/libsdl2" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF \
    -DSDL_INSTALL_TESTS=OFF -DSDL_THREADS=OFF -DSDL_RENDER=OFF -DSDL_VULKAN=OFF
}

build_sdl2_mixer() {
  cmake_project sdl2-mixer "$work/src/libsdl2-mixer" \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_WAVE=ON -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF \
    -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF
  # Its CMake build writes a pkg-config file only for the shared library; with
  # WAV only there are no private requirements to fill in.
  local source=$work/src/libsdl2-mixer version sdl_version
  [ -f "$stage/lib/pkgconfig/SDL2_mixer.pc" ] && return
  version=$(sed -n 's/^set(\(MAJOR\|MINOR\|MICRO\)_VERSION \([0-9]*\))$/\2/p' "$source/CMakeLists.txt" | paste -sd.)
  sdl_version=$(sed -n 's/^set(SDL_REQUIRED_VERSION \([0-9.]*\))$/\1/p' "$source/CMakeLists.txt")
  [ -n "$version" ] && [ -n "$sdl_version" ] || { echo "SDL2_mixer version not found"; return 1; }
  sed -e "s|@prefix@|$stage|; s|@exec_prefix@|\${prefix}|; s|@libdir@|\${exec_prefix}/lib|" \
    -e "s|@includedir@|\${prefix}/include|; s|@VERSION@|$version|; s|@SDL_VERSION@|$sdl_version|" \
    -e "s|@PC_REQUIRES@||; s|@PC_LIBS@||" "$source/SDL2_mixer.pc.in" >"$stage/lib/pkgconfig/SDL2_mixer.pc"
}

build_pugixml() {
  # The Tiled map reader's XML parser.
  cmake_project pugixml "$work/src/pugixml" -DPUGIXML_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=OFF
}

build_googletest() {
  cmake_project googletest "$work/src/googletest" \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON -Dgtest_build_tests=OFF
}

# Makes the staged prefix usable where it will finally live: pkg-config files
# find the prefix relative to themselves, other text files get the final path.
relocate() {
  local file
  for file in "$stage"/lib/pkgconfig/*.pc; do
    grep -q -F "$stage" "$file" || continue
    if grep -q "^prefix=$stage\$" "$file"; then
      sed -i "s|^prefix=$stage\$|prefix=\${pcfiledir}/../..|; s|$stage|\${prefix}|g" "$file"
    else
      sed -i "s|$stage|\${prefix}|g; 1i prefix=\${pcfiledir}/../.." "$file"
    fi
  done
  grep -rlI --null -F "$stage" "$stage" | xargs -0 -r sed -i "s|$stage|$prefix|g"
  if grep -rlI -F "$stage" "$stage" >&2; then
    echo "the files above still name the build directory" >&2
    return 1
  fi
}

total_start=$SECONDS
for package in "${source_packages[@]}"; do
  fetch_source "$package"
done
say "sources fetched in $((SECONDS - total_start)) s"

build zlib build_zlib
build libpng build_libpng
build libjpeg-turbo build_libjpeg
build libtiff build_libtiff
build freetype build_freetype
if [ $target = windows ]; then
  build libepoxy build_libepoxy
fi
build SDL2 build_sdl2
build SDL2_mixer build_sdl2_mixer
if [ $target = windows ]; then
  build googletest build_googletest
fi
build pugixml build_pugixml

relocate
# Programs and documentation some projects install unconditionally.
rm -rf "$stage/share/doc" "$stage/share/man"
rm -f "$stage"/bin/*.exe "$stage"/bin/*.js "$stage"/bin/*.wasm
cp "$work/used-sources.txt" "$stage/source-packages.txt"
date -u '+%Y-%m-%dT%H:%M:%SZ' >"$stage/$stamp_name"
mv "$stage" "$prefix"
trap - EXIT
rm -rf "$work"
say "complete in $((SECONDS - total_start)) s"
echo "$prefix"
