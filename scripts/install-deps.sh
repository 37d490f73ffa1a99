#!/usr/bin/env bash
# Installs every package the toolkit needs to build, run and test, from Debian:
#   scripts/install-deps.sh             the Linux build
#   scripts/install-deps.sh --windows   the Linux build and the Windows cross build
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  # Rebuilds of unchanged sources (the CI's several build trees) come from its cache.
  ccache
  qt6-base-dev libgl-dev
  liblzma-dev
  # The boot logo preview decodes MPEG-2 stills; the tests and the demo encode them.
  libavcodec-dev libavutil-dev libswscale-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  clang-format
  # The fuzz targets: clang with its libFuzzer and sanitizer runtimes.
  clang libclang-rt-dev
  # The Debian package (dpkg-shlibdeps needs file) and the checks of the desktop entry, the
  # AppStream metainfo and the man pages.
  dpkg-dev file appstream desktop-file-utils man-db
)
windows=false
if [[ ${1:-} == --windows ]]; then
  windows=true
  packages+=(
    # The cross compiler with the posix thread model (std::thread), and wine, which runs the
    # Windows test programs. liblzma and GoogleTest are built for the target from Debian's
    # own sources by scripts/build-windows.sh (apt-get source needs dpkg-dev, above).
    g++-mingw-w64-x86-64-posix wine wine64
    # The assembler of the MPEG-2 still coder's fast paths.
    nasm
    # The GUI build (build-windows.sh --gui): its tests run under wine on a display of their
    # own, where xwininfo finds the window of the packed qtktool.exe.
    xvfb x11-utils
  )
fi

export DEBIAN_FRONTEND=noninteractive
updated=false
update() {
  if ! $updated; then
    apt-get update -qq
    updated=true
  fi
}

# apt-get source needs the source lists beside the binary ones: a deb-src entry for every deb
# entry of Debian's own archive (deb822 files and one-line lists alike).
if $windows; then
  changed=false
  for list in /etc/apt/sources.list.d/debian.sources; do
    if [[ -f $list ]] && grep -q '^Types: *deb$' "$list"; then
      sed -i 's/^Types: *deb$/Types: deb deb-src/' "$list"
      changed=true
    fi
  done
  if [[ -f /etc/apt/sources.list ]] && grep -q '^deb .*debian' /etc/apt/sources.list &&
    ! grep -q '^deb-src .*debian' /etc/apt/sources.list; then
    sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list >>/etc/apt/sources.list
    changed=true
  fi
  if $changed; then
    update
  fi
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  update
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
