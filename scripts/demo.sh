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
# Then a past season: the generated sample season (two courses, two meetings
# of four days) replayed offline into a journal of its own, and its tally.
cmake --build "$build" --parallel "$(nproc)" --target sample_season
season="$build/samples/season"
rm -f "$season/app/journal.sqlite" "$season/app/journal.sqlite-wal" "$season/app/journal.sqlite-shm"
"$build/src/marunoki-cli" --app-dir "$season/app" backtest --site 1 --year 2026 --offline "$season/site1" \
  --html marunoki-demo/season-tally
