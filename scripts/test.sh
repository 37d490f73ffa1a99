#!/usr/bin/env bash
# Installs what is needed, builds the toolkit twice (plain and with AddressSanitizer +
# UndefinedBehaviorSanitizer), runs every test in both builds, checks the Debian package of
# the plain build, then cross-builds the command-line programs for Windows and runs their
# tests under wine (the mingw prefix is built on the first run and kept; see the README).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh build
# The plain suite runs with its temporary folders below a folder named in Latin and Chinese
# letters, as the Windows suite does.
temp=$(mktemp -d)/Jürgen-固件
mkdir -p "$temp"
TMPDIR=$temp ctest --test-dir build --output-on-failure -j "$(nproc)"
rm -rf "$(dirname "$temp")"
# The Debian package, unpacked as an installation, runs on the demo set.
bash scripts/check-package.sh build
bash scripts/build.sh build-asan -DQTK_SANITIZE=ON -DQTK_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
bash scripts/build-windows.sh --test
