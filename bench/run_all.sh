#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every bench_* program, then prints one
# table: each benchmark's time and, where bench/baselines.txt names its
# straightforward counterpart, that one's time and the ratio, both from this run.
# Then the peak memory of one whole `marunoki-cli load` of the bundled sample
# race (offline, from its page archive), measured by /usr/bin/time -v.
#
#   bash bench/run_all.sh            # table on stdout
#   BENCH_BUILD_DIR=dir  BENCH_FILTER=regex  (passed to --benchmark_filter)
#
# The benchmark databases are generated once into $BENCH_BUILD_DIR/bench-cache
# (this takes a few minutes the first time) and reused.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${BENCH_BUILD_DIR:-build-bench}
filter=${BENCH_FILTER:-.}

# Tests on: bench_race_fetch uses their loopback HTTP server (only the bench
# targets are built).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARUNOKI_BENCH=ON -DMARUNOKI_TESTS=ON \
    -DMARUNOKI_GUI=OFF -DMARUNOKI_FUZZ=OFF -DMARUNOKI_SANITIZE=OFF >/dev/null
mapfile -t programs < <(cd bench && ls bench_*.cpp | sed 's/\.cpp$//')
cmake --build "$build" --parallel "$(nproc)" --target "${programs[@]}" marunoki-cli >/dev/null

results=$build/bench-results
rm -rf "$results"
mkdir -p "$results"
export MARUNOKI_BENCH_CACHE=$top/$build/bench-cache
mkdir -p "$MARUNOKI_BENCH_CACHE"
for program in "${programs[@]}"; do
    echo "running $program ..." >&2
    "$build/bench/$program" --benchmark_filter="$filter" --benchmark_out="$results/$program.json" \
        --benchmark_out_format=json >"$results/$program.txt" 2>&1 \
        || { echo "$program failed:" >&2; tail -n 20 "$results/$program.txt" >&2; exit 1; }
done

echo "## Benchmarks"
echo
python3 bench/report.py bench/baselines.txt "$results"/bench_*.json

# Peak memory of a whole load, as a user runs it.
app=$(mktemp -d)
trap 'rm -rf "$app"' EXIT
cp samples/marunoki.dat samples/NAR_data.mdb samples/marunoki.ini "$app/"
/usr/bin/time -v "$build/src/marunoki-cli" --app-dir "$app" load --site 1 --year 2026 --course 東京 \
    --meeting 05 --day 09 --race 11 --offline samples/site1 --json "$app/race.json" --csv \
    >"$results/load.out" 2>"$results/load.time" \
    || { echo "marunoki-cli load failed:" >&2; cat "$results/load.out" "$results/load.time" >&2; exit 1; }
peak_kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$results/load.time")
wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$results/load.time")
echo
echo "## Whole load"
echo
echo "| command | peak memory (max RSS) | wall time |"
echo "|---|---|---|"
printf '| marunoki-cli load --offline samples/site1 (sample race, 16 runners, Site 1, JSON + CSV) | %s MB | %s |\n' \
    "$(awk -v kb="$peak_kb" 'BEGIN { printf "%.1f", kb / 1024 }')" "$wall"

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
