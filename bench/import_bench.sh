#!/bin/sh
# Runs the import benchmark as separate processes for 250, 500 and 1000 tables.
# Usage: bench/import_bench.sh BUILD_DIR
set -eu
build=${1:?build folder}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for n in 250 500 1000; do
  "$build/bench/import_bench" "$n" "$out/import_$n.xlsx"
done
