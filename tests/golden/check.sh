#!/usr/bin/env bash
# The outputs of the bundled sample races, compared byte for byte with the
# copies kept beside this script: a restructuring of the code must leave every
# figure, every cell and every colour as it was.
#
#   check.sh CLI            compare (exit 1 and a diff on the first difference)
#   check.sh CLI --update   write the kept copies anew (after a wanted change)
set -euo pipefail
cli=$1
mode=${2:-check}
here=$(cd "$(dirname "$0")" && pwd)
samples=$here/../../samples
expected=$here/expected
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/app" "$work/out"
cp "$samples/marunoki.dat" "$samples/NAR_data.mdb" "$samples/marunoki.ini" "$work/app/"
for site in 1 2; do
    for race in 10 11 12; do
        name=site$site-$race
        QT_QPA_PLATFORM=offscreen "$cli" --app-dir "$work/app" load --site "$site" --year 2026 \
            --course 東京 --meeting 05 --day 09 --race "$race" --offline "$samples/site$site" \
            --json "$work/out/$name.json" --views-json "$work/out/$name.views.json" --csv \
            >/dev/null 2>"$work/out/$name.stderr"
        for csv in "$work"/app/*.csv; do
            mv "$csv" "$work/out/$name.csv"
        done
    done
done
rm -f "$work"/out/*.stderr

if [ "$mode" = --update ]; then
    rm -rf "$expected"
    cp -r "$work/out" "$expected"
    echo "updated $(ls "$expected" | wc -l) files in $expected"
    exit 0
fi
if ! diff -r "$expected" "$work/out" >"$work/diff"; then
    head -n 40 "$work/diff"
    echo "the sample races' outputs differ from tests/golden/expected (see above)"
    exit 1
fi
echo "$(ls "$expected" | wc -l) outputs of the sample races byte-identical"
