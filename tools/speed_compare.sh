#!/usr/bin/env bash
# Compares the speed of two builds side by side: bench, perft 6 from the initial position and
# perft 5 on Kiwipete, each run with the old and the new build alternately, ROUNDS times, and
# reports the medians and their ratio, twice: the wall time of the whole program (start-up,
# table set-up and clearing included) and the time the tool itself reports for its search or
# walk alone. Shared machines drift by tens of percent over minutes, so only ratios taken in
# one alternating run mean anything.
#
# Usage: tools/speed_compare.sh OLD_BUILD_DIR NEW_BUILD_DIR [ROUNDS]   (default 5 rounds)
# Each folder must hold `bench` and `perft`. The outputs' signatures (bench node count,
# perft counts) must agree between the builds, or the comparison fails.
set -euo pipefail

if [ $# -lt 2 ]; then
  sed -n '2,/^set /p' "$0" | sed '$d' >&2
  exit 2
fi
old="$1"
new="$2"
rounds="${3:-5}"
kiwipete="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"
names=("bench" "perft 6" "perft 5 Kiwipete")

# run_case INDEX BUILD_DIR: the INDEX-th measured command of that build.
run_case() {
  case "$1" in
    0) "$2/bench" ;;
    1) "$2/perft" 6 ;;
    2) "$2/perft" 5 "$kiwipete" ;;
  esac
}

# timed INDEX BUILD_DIR OUT: prints the wall time and the tool's own time in seconds; the result
# (the last output line without its timing) goes to OUT.
timed() {
  local start end own
  start=$(date +%s.%N)
  run_case "$1" "$2" > "$3.full"
  end=$(date +%s.%N)
  tail -1 "$3.full" | sed 's/ in .*//' > "$3"
  # bench: the "time T s" of its summary line; perft: "nodes in T s".
  own=$(sed -n -e 's/.*positions:.* time *\([0-9.]*\) s.*/\1/p' -e 's/.* nodes in \([0-9.]*\) s.*/\1/p' "$3.full" | tail -1)
  awk -v a="$start" -v b="$end" -v o="$own" 'BEGIN { print b - a, o }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
printf '%-18s %10s %10s %8s   %10s %10s %8s\n' "what" "old wall" "new wall" "speed-up" "old own" "new own" "speed-up"
for i in "${!names[@]}"; do
  : > "$tmp/old.t"
  : > "$tmp/new.t"
  # The run first in a pair can be favoured (one bench binary against itself measured 3% faster
  # when always first), so the order turns every round.
  for r in $(seq "$rounds"); do
    if [ $((r % 2)) = 1 ]; then
      timed "$i" "$old" "$tmp/old.out" >> "$tmp/old.t"
      timed "$i" "$new" "$tmp/new.out" >> "$tmp/new.t"
    else
      timed "$i" "$new" "$tmp/new.out" >> "$tmp/new.t"
      timed "$i" "$old" "$tmp/old.out" >> "$tmp/old.t"
    fi
  done
  if ! cmp -s "$tmp/old.out" "$tmp/new.out"; then
    echo "DIFFERENT RESULT for ${names[$i]}: old '$(cat "$tmp/old.out")', new '$(cat "$tmp/new.out")'"
    status=1
  fi
  ow=$(cut -d' ' -f1 "$tmp/old.t" | median)
  nw=$(cut -d' ' -f1 "$tmp/new.t" | median)
  oo=$(cut -d' ' -f2 "$tmp/old.t" | median)
  no=$(cut -d' ' -f2 "$tmp/new.t" | median)
  printf '%-18s %10.3f %10.3f %7.2fx   %10.3f %10.3f %7.2fx\n' "${names[$i]}" "$ow" "$nw" \
    "$(awk -v a="$ow" -v b="$nw" 'BEGIN { print a / b }')" "$oo" "$no" \
    "$(awk -v a="$oo" -v b="$no" 'BEGIN { print a / b }')"
done
exit $status
