#!/usr/bin/env bash
# Every arrow points down: reads the link graph of the CMake targets
# (cmake --graphviz) and the #include lines of src/, and fails when one of our
# libraries links (or a file includes) a library of its own layer or of a layer
# above it, or when a library has no layer here.
#
#   scripts/check-layers.sh [build-folder]
#
# With a build folder, that folder's configuration is used (configured again
# for the graph); without one, a scratch configuration is made and removed.
set -euo pipefail
# The build folder is named from where the script is called, before it moves
# to the top of the tree (a relative name would otherwise mean the top itself,
# and configuring there would litter the sources with build files).
build="${1:-}"
if [[ -n "$build" ]]; then
  build="$(cd "$build" && pwd)"
fi
cd "$(dirname "$0")/.."
if [[ -n "$build" && "$build" == "$PWD" ]]; then
  echo "check-layers: give a build folder, not the top of the source tree" >&2
  exit 2
fi

# The layers, bottom first. A library may link only libraries of lower layers;
# libraries on one layer do not know each other.
declare -A layer=(
  [mk_app]=0          # race store, common routines, formats, the settings values
  [mk_db]=1           # database files, the Access import, its child process
  [mk_settings]=2     # the settings file, settings read and written, window state
  [mk_web]=2          # page sources, the page loader, the site readers
  [mk_analysis]=2     # track database lookups, figures, statistics
  [mk_local]=2        # the local-racing merge
  [mk_journal]=2      # the race journal: races analysed, results, marks, the tally
  [mk_view]=3         # graphs, grids and panels
  [mk_window]=4       # the window's view models
  [mk_output]=5       # CSV and JSON export, printing, view files, reports
  [mk_maintenance]=5  # track-data update, about texts, system information
  [mk_driver]=6       # the load driver and the race day
  [mk_gui]=7          # the desktop window's widgets
  [mk_testsupport]=8  # the tests' shared helpers
)

scratch=""
graph_dir="$(mktemp -d)"
cleanup() {
  rm -rf "$graph_dir"
  if [[ -n "$scratch" ]]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT
if [[ -z "$build" ]]; then
  scratch="$(mktemp -d)"
  build="$scratch"
  cmake -S . -B "$build" >/dev/null
fi
cmake -S . -B "$build" --graphviz="$graph_dir/targets.dot" >/dev/null

# An edge of the graph reads:  "node3" -> "node6"  // mk_analysis -> mk_app
edges=$(sed -n 's#.*// \([^ ]*\) -> \([^ ]*\)$#\1 \2#p' "$graph_dir/targets.dot" | sort -u)
if [[ -z "$edges" ]]; then
  echo "check-layers: no link edges found in the CMake graph" >&2
  exit 1
fi

failed=0
while read -r from to; do
  [[ "$from" == mk_* ]] || continue
  for name in "$from" "$to"; do
    if [[ "$name" == mk_* && -z "${layer[$name]:-}" ]]; then
      echo "check-layers: $name has no layer; add it to scripts/check-layers.sh" >&2
      failed=1
    fi
  done
  [[ "$to" == mk_* && -n "${layer[$from]:-}" && -n "${layer[$to]:-}" ]] || continue
  if ((layer[$to] >= layer[$from])); then
    echo "check-layers: $from (layer ${layer[$from]}) links $to (layer ${layer[$to]}): an arrow that does not point down" >&2
    failed=1
  fi
done <<<"$edges"

# Includes point down too: every library exports all of src/, so a header-only
# file of a higher layer (or of a library on the same layer) could be included
# without any link showing it. A file under src/F/ may include its own folder's
# headers and those of folders on lower layers.
declare -A folder_layer=(
  [app]=0 [db]=1 [settings]=2 [web]=2 [analysis]=2 [local]=2 [journal]=2
  [view]=3 [window]=4 [output]=5 [maintenance]=5 [driver]=6 [gui]=7 [cli]=7
)
includes=0
while IFS=: read -r file _ line; do
  from="${file#src/}"
  from="${from%%/*}"
  to=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' <<<"$line")
  [[ -n "$to" ]] || continue
  includes=$((includes + 1))
  if [[ -z "${folder_layer[$from]:-}" || -z "${folder_layer[$to]:-}" ]]; then
    echo "check-layers: $file includes from $to: a folder with no layer; add it to scripts/check-layers.sh" >&2
    failed=1
  elif [[ "$from" != "$to" ]] && ((folder_layer[$to] >= folder_layer[$from])); then
    echo "check-layers: $file (layer ${folder_layer[$from]}) includes $to/ (layer ${folder_layer[$to]}): an include that does not point down" >&2
    failed=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' src --include='*.h' --include='*.cpp')

if ((failed)); then
  exit 1
fi
echo "check-layers: every include points down ($includes includes between folders and within them)"
echo "check-layers: every link points down ($(grep -c '^mk_' <<<"$edges") links between libraries)"
