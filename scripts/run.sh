#!/usr/bin/env bash
# Installs what is needed, builds the toolkit, writes the demo folder and starts the desktop
# program inside it, so that its default configuration description is the demo one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build
./build/src/demo/qtkdemo demo
# The General page starts the database builder from the application directory.
cp build/src/dbbuilder/dfv_k7720x demo/
cd demo && ../build/src/app/qtktool
