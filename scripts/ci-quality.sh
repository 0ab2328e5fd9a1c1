#!/usr/bin/env bash
# Quality gates, run by CI after the tests (scripts/test.sh has built `build/`):
#
#   1. the core libraries and the tests built with AddressSanitizer and
#      UndefinedBehaviorSanitizer, every test run so that any report fails;
#   2. clang-format --dry-run --Werror on our sources;
#   3. clang-tidy (.clang-tidy) on src/ with the normal build's compile database;
#   4. the layers: no library links one above it (scripts/check-layers.sh);
#   5. every libFuzzer target for FUZZ_SECONDS (30) seconds, when clang is there.
#
# Every gate runs even when an earlier one failed; the script fails at the end
# if any did, naming them. Environment:
#   BUILD_DIR      the normal build (default build)
#   SAN_BUILD_DIR  the sanitizer build (default build-sanitize)
#   FUZZ_SECONDS   time per fuzz target (default 30; 0 skips fuzzing)
#   MARUNOKI_TESTDATA  the Access test files (default tests/data)
set -uo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${BUILD_DIR:-build}
san_build=${SAN_BUILD_DIR:-build-sanitize}
fuzz_seconds=${FUZZ_SECONDS:-30}
testdata=${MARUNOKI_TESTDATA:-$top/tests/data}
jobs=$(nproc)
failed=()

gate() { echo; echo "==== $* ($(date +%T))"; }
fail() { echo "FAILED: $*"; failed+=("$*"); }

# ---------------------------------------------------------------- sanitizers
# Clang when it is there: the same build then also holds the fuzz targets, and
# everything is compiled once. GCC's sanitizers otherwise.
gate "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
fuzz=OFF
compilers=()
if command -v clang++ >/dev/null && command -v clang >/dev/null; then
    fuzz=ON
    compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
fi
[ "$fuzz_seconds" -gt 0 ] || fuzz=OFF
if cmake -S . -B "$san_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compilers[@]}" \
        -DMARUNOKI_SANITIZE=ON -DMARUNOKI_FUZZ=$fuzz -DMARUNOKI_GUI=OFF -DMARUNOKI_BENCH=OFF >/dev/null \
    && cmake --build "$san_build" --parallel "$jobs"; then
    # halt_on_error: the first report ends the program (UBSan is also built
    # with -fno-sanitize-recover). detect_leaks: leaks fail the test too; the
    # suppression file lists the third-party leaks we cannot fix, each justified.
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
    (cd "$san_build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs" --timeout 900) \
        || fail "tests under AddressSanitizer/UndefinedBehaviorSanitizer"
else
    fail "sanitizer build"
    fuzz=OFF
fi

# ---------------------------------------------------------------- formatting
gate "clang-format"
bash scripts/format.sh --check || fail "clang-format (run bash scripts/format.sh)"

# ---------------------------------------------------------------- static analysis
gate "clang-tidy"
if [ -f "$build/compile_commands.json" ]; then
    git ls-files -- 'src/*.cpp' \
        | xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet 2> >(grep -v 'warnings generated' >&2) \
        || fail "clang-tidy"
else
    fail "clang-tidy: no $build/compile_commands.json (run scripts/test.sh first)"
fi

# ---------------------------------------------------------------- layers
gate "layers: every link points down"
bash scripts/check-layers.sh "$build" || fail "layers (scripts/check-layers.sh names the upward links)"

# ---------------------------------------------------------------- fuzzing
if [ "$fuzz" = ON ]; then
    gate "fuzzing, $fuzz_seconds s per target"
    # The targets write their inputs to files; in memory that costs no disk.
    fuzz_tmp=/dev/shm
    [ -d "$fuzz_tmp" ] && [ -w "$fuzz_tmp" ] || fuzz_tmp=${TMPDIR:-/tmp}
    seeds=$san_build/fuzz-seeds
    rm -rf "$seeds"
    if "$san_build/fuzz/make_fuzz_seeds" "$seeds" "$top" "$testdata"; then
        mkdir -p "$san_build/fuzz-artifacts"
        for target in "$san_build"/fuzz/fuzz_*; do
            [ -x "$target" ] || continue
            name=$(basename "$target")
            corpus=$san_build/fuzz-corpus/$name
            mkdir -p "$corpus" "$seeds/$name"
            echo "-- $name"
            log=$san_build/fuzz-artifacts/$name.log
            # -timeout: an input that takes this long is a hang. The first folder
            # collects new inputs; the seeds are only read.
            if TMPDIR=$fuzz_tmp "$target" -max_total_time="$fuzz_seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
                    -artifact_prefix="$san_build/fuzz-artifacts/$name-" "$corpus" "$seeds/$name" >"$log" 2>&1; then
                grep -E '^stat::(number_of_executed_units|new_units_added)' "$log"
            else
                tail -n 60 "$log"
                fail "fuzz target $name (input in $san_build/fuzz-artifacts)"
            fi
        done
    else
        fail "fuzz seeds"
    fi
fi

echo
if [ ${#failed[@]} -gt 0 ]; then
    echo "Quality gates failed:"
    printf '  - %s\n' "${failed[@]}"
    exit 1
fi
echo "All quality gates passed."
