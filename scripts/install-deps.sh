#!/usr/bin/env bash
# Installs every package the toolkit needs to build, run and test, from Debian.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
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
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
