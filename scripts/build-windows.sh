#!/usr/bin/env bash
# Cross-builds qtkcli, dfv_k7720x, qtkdemo and the tests for 64-bit Windows with mingw-w64 and
# packs the three programs with a README into a zip:
#   scripts/build-windows.sh [--gui] [--test] [BUILD_DIR]   (BUILD_DIR: build-windows, or
#                                                             build-windows-gui with --gui)
# --test runs every test under wine afterwards, with the temporary folder under a name that
# is not ASCII, as many users' profile folders are.
# --gui builds Qt for the target once (scripts/windows-qt.sh: 40 to 95 minutes at -j2), then qtktool and
# its tests as well, and packs a second zip with qtktool.exe and the DLLs it needs.
#
# liblzma, the MPEG-2 still coder (libavcodec, libavutil, libswscale) and GoogleTest are built
# for the target from Debian's own sources into a prefix outside the source tree, once; later
# runs reuse it, and the wine prefix the tests run in:
#   QTK_MINGW_PREFIX (default /var/cache/qtk7720x-mingw)
#   QTK_WINEPREFIX   (default $QTK_MINGW_PREFIX/wine; two test runs at once need two)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run_tests=false
gui=false
while [[ ${1:-} == --* ]]; do
  case $1 in
    --test) run_tests=true ;;
    --gui) gui=true ;;
    *)
      echo "usage: scripts/build-windows.sh [--gui] [--test] [BUILD_DIR]" >&2
      exit 2
      ;;
  esac
  shift
done
gui_switch=OFF
default_build="build-windows"
if $gui; then
  gui_switch=ON
  default_build="build-windows-gui"
fi
build=${1:-$default_build}
prefix=${QTK_MINGW_PREFIX:-/var/cache/qtk7720x-mingw}
triple=x86_64-w64-mingw32
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
started=$SECONDS

bash "$root/scripts/install-deps.sh" --windows
mkdir -p "$prefix/stamps"

# Builds one library into the prefix unless its stamp names the same source version and
# recipe: `prefix_library NAME RECIPE FUNCTION`. The log is shown only when the build fails.
prefix_library() {
  local name=$1 recipe=$2 build_function=$3 stamp=$prefix/stamps/$1.txt
  if [[ -f $stamp && $(cat "$stamp") == "$recipe" ]]; then
    return
  fi
  echo "build-windows: building $name for $triple into $prefix"
  local work
  work=$(mktemp -d)
  # apt-get source downloads as the _apt user, which must reach the folder.
  chmod 755 "$work"
  # Started apart and waited for, so that the first failing command ends it (a subshell whose
  # status is tested runs on after failures).
  (cd "$work" && "$build_function") >"$work/build.log" 2>&1 &
  if ! wait $!; then
    tail -40 "$work/build.log"
    exit 1
  fi
  rm -rf "$work"
  echo "$recipe" >"$stamp"
}

# The source of a Debian package, unpacked in the current folder; prints its folder.
debian_source() {
  apt-get source -qq "$1=$2" >/dev/null
  ls -d "$PWD/$1"-*/
}

xz_version=$(apt-cache policy xz-utils | sed -n "s/^ *Candidate: //p")
build_liblzma() {
  cd "$(debian_source xz-utils "$xz_version")"
  ./configure --host=$triple --prefix="$prefix" --disable-shared --enable-static \
    --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo --disable-lzma-links \
    --disable-scripts --disable-doc --disable-nls \
    CC=$triple-gcc-posix AR=$triple-ar RANLIB=$triple-ranlib STRIP=$triple-strip
  make -j "$jobs" install
}

# Only what the boot logos need: the MPEG-2 video coder both ways, its stream parser and the
# pixel format conversion; nothing detected from the build machine. The assembler code stays
# in, built with nasm as on Debian: without the assembler files the inline assembler turns
# the colours of the RGB to YUV conversion wrong, and without any assembler the frame buffers
# are aligned too little for the decoder to take a 16 pixels wide still.
ffmpeg_version=$(apt-cache policy libavcodec-dev | sed -n "s/^ *Candidate: //p")
build_libav() {
  cd "$(debian_source ffmpeg "$ffmpeg_version")"
  ./configure --prefix="$prefix" --enable-cross-compile --cross-prefix=$triple- \
    --cc=$triple-gcc-posix --cxx=$triple-g++-posix --target-os=mingw32 --arch=x86_64 \
    --pkg-config=pkg-config --enable-static --disable-shared --disable-autodetect \
    --disable-everything --disable-programs --disable-doc --disable-network \
    --disable-avdevice --disable-avformat --disable-avfilter --disable-swresample \
    --disable-postproc --enable-swscale --enable-encoder=mpeg2video \
    --enable-decoder=mpeg2video --enable-parser=mpegvideo
  make -j "$jobs" install
}

gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)
build_googletest() {
  cmake -S /usr/src/googletest -B googletest -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF
  cmake --build googletest -j "$jobs"
  cmake --install googletest
}

# CLI11 and nlohmann-json are headers only: Debian's copies, with their CMake package files,
# which find their headers relative to themselves.
headers_version=$(dpkg-query -W -f='${Version} ' libcli11-dev nlohmann-json3-dev)
copy_headers() {
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/CLI /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}

prefix_library liblzma "recipe 1; xz-utils $xz_version" build_liblzma
prefix_library libav "recipe 3; ffmpeg $ffmpeg_version" build_libav
prefix_library googletest "recipe 1; googletest $gtest_version" build_googletest
prefix_library headers "recipe 1; $headers_version" copy_headers
qt_cmake_args=()
if $gui; then
  # shellcheck source=scripts/windows-qt.sh
  source "$root/scripts/windows-qt.sh"
fi

# The wine prefix exists before anything runs under wine: created on first use, it takes
# longer than a test's time limit.
export WINEPREFIX=${QTK_WINEPREFIX:-$prefix/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "build-windows: creating the wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi
echo "build-windows: prefix ready after $((SECONDS - started)) s"

# ccache, where the machine has it, keeps a later build of unchanged files short, also from
# another clone of the tree (as CI makes one for every run): paths below the tree are hashed
# relative to it.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQTK_MINGW_PREFIX="$prefix" \
  -DQTK_BUILD_GUI=$gui_switch "${qt_cmake_args[@]}" \
  -DQTK_BUILD_BENCH=OFF -DQTK_BUILD_FUZZ=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
cmake --build "$build" -j "$jobs"
(cd "$build" && cpack -G ZIP >/dev/null)
echo "build-windows: $(ls "$build"/qtk7720x-*-windows-x86_64.zip) after $((SECONDS - started)) s"
if $gui; then
  pack_gui_zip "$build"
fi

if $run_tests; then
  if $gui; then
    prepare_gui_tests
  fi
  # One wine server for the whole run instead of one per test program. Its service processes
  # start with the first program and would inherit that program's output pipe: a test list
  # read through that pipe would never end. They start here, on no pipe at all. A server that
  # an interrupted earlier run left behind refuses to start a second one; it serves this run.
  wineserver -p || true
  # The tests' temporary folders go below a folder named in Latin and Chinese letters: every
  # path the tests hand around then holds characters outside ASCII and outside the ANSI code
  # page. Wine takes TEMP and TMP from the registry of its prefix, not from the environment,
  # and reads its own arguments in the locale's encoding.
  temp=$WINEPREFIX-temp/Jürgen-固件
  rm -rf "$WINEPREFIX-temp"
  mkdir -p "$temp"
  for variable in TEMP TMP; do
    LC_ALL=C.UTF-8 wine reg add 'HKCU\Environment' /v $variable /t REG_SZ \
      /d "Z:${temp//\//\\}" /f </dev/null >/dev/null 2>&1
  done
  status=0
  ctest --test-dir "$build" --output-on-failure -j "$jobs" || status=$?
  # Once in some fifteen runs wine fails to start a test program at all: it "fails" at once
  # with no output, not even the test framework's first line. When every failed test looks
  # like that, each is run once more; a test that printed anything is a real failure and
  # nothing is run again.
  if ((status != 0)) && [[ -f $build/Testing/Temporary/LastTestsFailed.log ]]; then
    log=$build/Testing/Temporary/LastTest.log
    failed=$build/Testing/Temporary/LastTestsFailed.log
    rerun=()
    while IFS=: read -r number name; do
      output=$(awk -v name="$name" '
        index($0, " Test: ") && substr($0, index($0, " Test: ") + 7) == name { test = 1 }
        test && /^Output:$/ { getline; inside = 1; next }
        inside && /^<end of output>$/ { exit }
        inside { printf "%s", $0 }' "$log")
      if [[ -n $output ]]; then
        rerun=()
        break
      fi
      rerun+=("$number")
    done <"$failed"
    if ((${#rerun[@]} > 0)); then
      echo "build-windows: wine started no program for test(s) ${rerun[*]}; running them again"
      status=0
      for number in "${rerun[@]}"; do
        ctest --test-dir "$build" --output-on-failure -I "$number,$number" || status=$?
      done
    fi
  fi
  if $gui; then
    check_gui_package_starts "$gui_package_folder" || status=1
  fi
  wineserver -k || true
  echo "build-windows: tests done after $((SECONDS - started)) s"
  exit $status
fi
