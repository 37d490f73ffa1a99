#!/usr/bin/env bash
# Installs what is needed, builds the toolkit, installs it into build/install, writes the demo
# folder and starts the installed desktop program inside it, so that its default
# configuration description is the demo one and the General page converts channel lists with
# the dfv_k7720x installed beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build
cmake --install build --prefix "$root/build/install" >/dev/null
./build/src/demo/qtkdemo demo
# A builder copied into the demo folder by an older run script would be taken first.
rm -f demo/dfv_k7720x
cd demo && ../build/install/bin/qtktool
