#!/usr/bin/env bash
# Cross-builds qtkcli, dfv_k7720x, qtkdemo and the tests for 64-bit Windows with mingw-w64 and
# packs the three programs with a README into a zip:
#   scripts/build-windows.sh [--test] [BUILD_DIR]      (BUILD_DIR: build-windows)
# --test runs every test under wine afterwards.
#
# liblzma and GoogleTest are built for the target from Debian's own sources into a prefix
# outside the source tree, once; later runs reuse it, and the wine prefix the tests run in:
#   QTK_MINGW_PREFIX (default /var/cache/qtk7720x-mingw)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run_tests=false
if [[ ${1:-} == --test ]]; then
  run_tests=true
  shift
fi
build=${1:-build-windows}
prefix=${QTK_MINGW_PREFIX:-/var/cache/qtk7720x-mingw}
triple=x86_64-w64-mingw32
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

bash "$root/scripts/install-deps.sh" --windows

# What the prefix was built from; another source version or recipe rebuilds it.
xz_version=$(apt-cache policy xz-utils | sed -n "s/^ *Candidate: //p")
gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)
recipe="recipe 1; xz-utils $xz_version; googletest $gtest_version"
stamp=$prefix/qtk7720x-prefix.txt

build_prefix() {
  echo "build-windows: building liblzma and GoogleTest for $triple into $prefix"
  rm -rf "$prefix/include" "$prefix/lib" "$prefix/share"
  mkdir -p "$prefix"
  local work
  work=$(mktemp -d)
  # apt-get source downloads as the _apt user, which must reach the folder.
  chmod 755 "$work"
  (
    cd "$work"
    apt-get source -qq "xz-utils=$xz_version" >/dev/null
    cd xz-utils-*/
    ./configure --host=$triple --prefix="$prefix" --disable-shared --enable-static \
      --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo --disable-lzma-links \
      --disable-scripts --disable-doc --disable-nls \
      CC=$triple-gcc-posix AR=$triple-ar RANLIB=$triple-ranlib STRIP=$triple-strip
    make -j "$jobs" install
  ) >"$work/xz-utils.log" 2>&1 || { tail -30 "$work/xz-utils.log"; exit 1; }
  cmake -S /usr/src/googletest -B "$work/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
    >/dev/null
  cmake --build "$work/googletest" -j "$jobs" >/dev/null
  cmake --install "$work/googletest" >/dev/null
  # CLI11 and nlohmann-json are headers only: Debian's copies, with their CMake package files,
  # which find their headers relative to themselves.
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  cp -r /usr/include/CLI /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
  rm -rf "$work"
  echo "$recipe" >"$stamp"
}

if [[ ! -f $stamp || $(cat "$stamp") != "$recipe" ]]; then
  build_prefix
fi

# The wine prefix exists before anything runs under wine: created on first use, it takes
# longer than a test's time limit.
export WINEPREFIX=$prefix/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "build-windows: creating the wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQTK_MINGW_PREFIX="$prefix" \
  -DQTK_BUILD_GUI=OFF -DQTK_BUILD_BENCH=OFF -DQTK_BUILD_FUZZ=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
cmake --build "$build" -j "$jobs"
(cd "$build" && cpack -G ZIP >/dev/null)
echo "build-windows: $(ls "$build"/qtk7720x-*-windows-x86_64.zip)"

if $run_tests; then
  # One wine server for the whole run instead of one per test program.
  wineserver -p
  status=0
  ctest --test-dir "$build" --output-on-failure -j "$jobs" || status=$?
  wineserver -k || true
  exit $status
fi
