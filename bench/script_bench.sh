#!/usr/bin/env bash
# Script output benchmark: `kastel script` on a workbook of TABLES sheets copied from the
# default template (50 column rows and 3 indexes each), whole process, against
#  - the floor measured in the same run: opening the workbook and reading every cell the
#    generation reads (bench/script_bench), target: within 1.5x;
#  - a straightforward generator of the same three files with openpyxl (the engine tests'
#    independent generator), target: at least 30x slower than kastel.
# Usage: bench/script_bench.sh [BUILD_DIR] [TABLES] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tables=${2:-1000}
rounds=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

"$build/bench/make_workbook" "$build/share/kastel/テーブル定義書.xltx" "$work/bench.xlsx" \
  "$tables" 50 SQL
echo "workbook: $tables sheets, $(du -k "$work/bench.xlsx" | cut -f1) KiB"

# Seconds taken by a command, to the millisecond; its output goes to $work/last.log.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >"$work/last.log" 2>&1 || { cat "$work/last.log" >&2; return 1; }
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc
}

best_floor=; best_kastel=
for round in $(seq "$rounds"); do
  mkdir -p "$work/k$round"
  f=$(seconds "$build/bench/script_bench" "$work/bench.xlsx")
  k=$(seconds "$build/src/cli/kastel" script "$work/bench.xlsx" -o "$work/k$round")
  echo "round $round: floor ${f}s  kastel script ${k}s"
  if [ -z "$best_floor" ] || [ "$(echo "$f < $best_floor" | bc)" = 1 ]; then best_floor=$f; fi
  if [ -z "$best_kastel" ] || [ "$(echo "$k < $best_kastel" | bc)" = 1 ]; then best_kastel=$k; fi
done

mkdir -p "$work/py"
p=$(seconds /usr/bin/python3 tests/engines/reference_scripts.py "$work/bench.xlsx" "$work/py")
echo "openpyxl generator: ${p}s"
for f in table index comment; do
  cmp -s "$work/k1/$f.sql" "$work/py/$f.sql" || echo "warning: $f.sql differs from openpyxl's"
done
echo "kastel / floor:    $(echo "scale=2; $best_kastel / $best_floor" | bc)x (target <= 1.5)"
echo "openpyxl / kastel: $(echo "scale=1; $p / $best_kastel" | bc)x (target >= 30)"
echo "table.sql: $(du -k "$work/k1/table.sql" | cut -f1) KiB"
