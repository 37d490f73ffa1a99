#!/usr/bin/env bash
# Installs what is needed, builds the toolkit, writes the demo folder and opens the demo image.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build
./build/src/demo/qtkdemo demo
./build/src/cli/qtkcli load demo/demo_k7720x.bin --config demo/QTK_K7720X.ini --password 1234
