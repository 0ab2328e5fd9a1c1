#!/usr/bin/env bash
# Rebuilds the bundled SAMPLE data (made-up, not real racing data): the sample
# race's page archives (site1/, site2/) and settings from the C++ generator,
# which uses the same page builders as the tests, then the sample track database
# and the local-racing database with local runs for some of the race's runners.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
build=${BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target make_sample_race
horses=$("$build/tests/make_sample_race" "$here")
python3 "$here/make_sample_trackdb.py" --out "$here/marunoki.dat"
python3 "$here/make_sample_nar.py" --horses "$horses" --race-date 2026-11-29 --out "$here/NAR_data.mdb"
echo "sample race written to $here (local runs for: $horses)"
