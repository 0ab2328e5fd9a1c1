#!/usr/bin/env bash
# clang-format on our C++ sources, and on nothing else: run on a Markdown file
# it reads the text as C++ and garbles it (docs/ holds a .clang-format that
# switches it off there, for editors that format every file they save).
#
#   format.sh          rewrite the C++ files in place
#   format.sh --check  only report (exit 1) the files that are not formatted
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 'samples/*.cpp')
if [ "${1:-}" = --check ]; then
    exec clang-format --dry-run --Werror "${sources[@]}"
fi
exec clang-format -i "${sources[@]}"
