#!/usr/bin/env bash
# Script output benchmark: `kastel script` on definition workbooks of TABLES tables (50 column
# rows and 3 indexes each), whole process with the workbook check it runs by default, paired in
# every round with
#  - the floor: inflating and parsing every part (bench/xlsx_bench floor), target: within 1.5x;
#  - `unzip -p`, inflating every part, a rough stand-in for the floor;
# and once against a straightforward generator of the same three files with openpyxl (the
# engine tests' independent generator), target: at least 50x slower than kastel.
# Workbook kinds: openpyxl (written by openpyxl, no template formatting), template (copies of
# the default template's sheet, inline strings), libreoffice (the template kind opened and
# saved by LibreOffice, shared strings; slow to make: minutes for 1,000 sheets).
# Figures are medians of ROUNDS rounds: wall time, CPU time (user + system) and peak memory.
# Usage: bench/script_bench.sh [BUILD_DIR] [TABLES,...] [ROUNDS] [KIND,...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
counts=${2:-1000}
rounds=${3:-5}
kinds=${4:-openpyxl,template}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
template="$build/share/kastel/テーブル定義書.xltx"

make_book() {  # KIND TABLES OUT
  case $1 in
    openpyxl) /usr/bin/python3 bench/make_openpyxl_workbook.py "$3" "$2" ;;
    template) "$build/bench/make_workbook" "$template" "$3" "$2" 50 SQL ;;
    libreoffice)
      "$build/bench/make_workbook" "$template" "$work/lo-in.xlsx" "$2" 50 SQL
      soffice -env:UserInstallation="file://$work/lo-profile" --headless --convert-to xlsx \
        --outdir "$work/lo" "$work/lo-in.xlsx" >/dev/null 2>&1
      mv "$work/lo/lo-in.xlsx" "$3" ;;
  esac
}

# Runs a command; prints "wall cpu peak_kib", its output going to $work/last.log.
measure() {
  /usr/bin/python3 bench/measured.py "$work/last.log" "$@" || { cat "$work/last.log" >&2; return 1; }
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf "%-11s %6s  %-16s %-16s %-16s %-10s %-7s %-16s %-9s %s\n" kind tables "kastel wall/cpu" \
  "floor wall/cpu" "unzip wall/cpu" "x floor" "x unzip" "openpyxl wall/cpu" "openpyxl/" "peak MiB"
for n in ${counts//,/ }; do
  for kind in ${kinds//,/ }; do
    book="$work/$kind$n.xlsx"
    make_book "$kind" "$n" "$book"
    : >"$work/k" && : >"$work/f" && : >"$work/u"
    for round in $(seq "$rounds"); do
      rm -rf "$work/out" && mkdir -p "$work/out"
      measure "$build/bench/xlsx_bench" floor "$book" >>"$work/f"
      measure unzip -p "$book" >>"$work/u"
      measure "$build/src/cli/kastel" script "$book" -o "$work/out" >>"$work/k"
    done
    col() { cut -d' ' -f"$2" "$work/$1" | median; }
    kw=$(col k 1) kc=$(col k 2) kp=$(col k 3) fw=$(col f 1) fc=$(col f 2) uw=$(col u 1) uc=$(col u 2)
    mkdir -p "$work/py"
    p=$(measure /usr/bin/python3 tests/engines/reference_scripts.py "$book" "$work/py")
    pw=$(echo "$p" | cut -d' ' -f1) pc=$(echo "$p" | cut -d' ' -f2)
    for f in table index comment; do
      cmp -s "$work/out/$f.sql" "$work/py/$f.sql" || echo "warning: $f.sql differs from openpyxl's"
    done
    printf "%-11s %6s  %-16s %-16s %-16s %-10s %-7s %-16s %-9s %s\n" "$kind" "$n" "$kw/$kc" "$fw/$fc" \
      "$uw/$uc" "$(echo "scale=2; $kw / $fw" | bc)/$(echo "scale=2; $kc / $fc" | bc)" \
      "$(echo "scale=2; $kw / $uw" | bc)" \
      "$pw/$pc" "$(echo "scale=0; $pw / $kw" | bc)/$(echo "scale=0; $pc / $kc" | bc)" \
      "$(echo "scale=1; $kp / 1024" | bc)"
  done
done
echo "seconds; x floor: kastel / floor (wall/cpu), x unzip: kastel / unzip -p (wall),"
echo "openpyxl/: openpyxl generator / kastel (wall/cpu); targets: <= 1.5x floor, >= 50x openpyxl"
