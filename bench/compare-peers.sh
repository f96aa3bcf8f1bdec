#!/usr/bin/env bash
# End-to-end comparison with Gnumeric: load a worksheet, recalculate every
# formula and write comma-delimited text, in the same run, and check that both
# programs give the same numbers.
#
# usage: bench/compare-peers.sh [BUILD_DIR] [ROWS]
#   BUILD_DIR  a Release build holding app/tabulon-cli (default: build-rel)
#   ROWS       rows of the generated sheet (default: 5000, i.e. 105 000 formulas)
#
# The sheet has 22 columns: A holds values, B `+$A$r*2+1`, C `@SUM($A$r..$B$r)`,
# D a running chain `+$D$(r-1)+$A$r`, E..V `+$A$r*k+$C$r`. Only absolute
# references: ssconvert decodes negative relative offsets in formula code wrongly.
# ssconvert also reads an absolute row above 4096 as row number minus 4096 (it
# keeps 12 bits of the row), so its results are compared on rows 1..4096 only;
# ours are checked on every row against values computed here independently.
set -euo pipefail

build=${1:-build-rel}
rows=${2:-5000}
cli="$build/tabulon-cli"
[ -x "$cli" ] || cli=$(find "$build" -name tabulon-cli -type f -perm -u+x | head -n 1)
[ -n "$cli" ] && [ -x "$cli" ] || { echo "tabulon-cli not found under $build" >&2; exit 2; }
command -v ssconvert >/dev/null || { echo "ssconvert not installed (apt-get install gnumeric)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cols=(E F G H I J K L M N O P Q R S T U V)
awk -v rows="$rows" -v colsList="${cols[*]}" 'BEGIN {
  n = split(colsList, cols, " ")
  for (r = 1; r <= rows; ++r) {
    printf "A%d=%d\n", r, (r * 37) % 1000 - 250
    printf "B%d=+$A$%d*2+1\n", r, r
    printf "C%d=@SUM($A$%d..$B$%d)\n", r, r, r
    if (r == 1) printf "D1=+$A$1\n"; else printf "D%d=+$D$%d+$A$%d\n", r, r - 1, r
    for (k = 1; k <= n; ++k) printf "%s%d=+$A$%d*%d+$C$%d\n", cols[k], r, r, k, r
  }
}' > "$work/script.txt"

"$cli" enter --script "$work/script.txt" --out "$work/big.wks" >/dev/null
echo "sheet: $rows rows x 22 columns, $((rows * 21)) formulas, $(stat -c %s "$work/big.wks") bytes"

# Minimum wall time in seconds of three runs of a command.
best_of_three() {
  local best="" t
  for _ in 1 2 3; do
    local s e
    s=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

ours=$(best_of_three "$cli" convert "$work/big.wks" "$work/ours.csv")
peer=$(best_of_three ssconvert --recalc "$work/big.wks" "$work/peer.csv")

# Expected values of every cell, computed independently of both programs.
awk -v rows="$rows" 'BEGIN {
  d = 0
  for (r = 1; r <= rows; ++r) {
    v = (r * 37) % 1000 - 250; b = 2 * v + 1; c = v + b; d += v
    line = v "," b "," c "," d
    for (k = 1; k <= 18; ++k) line = line "," (v * k + c)
    print line
  }
}' > "$work/expected.csv"

# Compares two comma-delimited files as numbers (relative 1e-9) on their first
# LIMIT rows; prints the number of cells compared, or the first difference.
compare() {
  awk -F, -v limit="$3" -v what="$4" '
    NR == FNR { if (FNR <= limit) { for (i = 1; i <= NF; ++i) v[FNR, i] = $i; nr = FNR } next }
    FNR <= limit {
      for (i = 1; i <= NF; ++i) {
        a = v[FNR, i] + 0; b = $i + 0; d = a - b; if (d < 0) d = -d
        m = (a < 0 ? -a : a); if (m < 1) m = 1
        if (d > 1e-9 * m) { printf "%s: differ at row %d column %d: %s vs %s\n", what, FNR, i, v[FNR, i], $i; bad = 1; exit 1 }
        ++cells
      }
      seen = FNR
    }
    END { if (bad) exit 1; if (seen != nr) { print what ": row counts differ"; exit 1 }
          printf "%s: same numbers in %d cells\n", what, cells }' \
    <(tr -d '"\r ' < "$1") <(tr -d '"\r ' < "$2")
}
compare "$work/expected.csv" "$work/ours.csv" "$rows" "tabulon vs expected"
peer_rows=$(( rows < 4096 ? rows : 4096 ))
compare "$work/ours.csv" "$work/peer.csv" "$peer_rows" "tabulon vs ssconvert (rows 1..$peer_rows)"

printf 'tabulon-cli convert:     %.3f s\n' "$ours"
printf 'ssconvert --recalc:      %.3f s\n' "$peer"
printf 'ratio (ssconvert/ours):  %.1f\n' "$(echo "$peer / $ours" | bc -l)"
