#!/usr/bin/env bash
# Installs what the build needs, builds the programs, runs the demo: the bundled
# sample race loaded offline and analysed, results written to ./marunoki-demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target marunoki-cli
"$build/src/marunoki-cli" demo
