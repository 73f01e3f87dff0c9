#!/usr/bin/env bash
# Compares the speed of two builds side by side: bench, perft 6 from the initial position and
# perft 5 on Kiwipete, each run with the old and the new build alternately, ROUNDS times, and
# reports the median wall times and their ratio. Shared machines drift by tens of percent
# over minutes, so only ratios taken in one alternating run mean anything.
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

# timed INDEX BUILD_DIR OUT: prints the wall time in seconds; the result (the last output line
# without its timing) goes to OUT.
timed() {
  local start end
  start=$(date +%s.%N)
  run_case "$1" "$2" | tail -1 | sed 's/ in .*//' > "$3"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
printf '%-18s %10s %10s %8s\n' "what" "old (s)" "new (s)" "speed-up"
for i in "${!names[@]}"; do
  : > "$tmp/old.t"
  : > "$tmp/new.t"
  for _ in $(seq "$rounds"); do
    timed "$i" "$old" "$tmp/old.out" >> "$tmp/old.t"
    timed "$i" "$new" "$tmp/new.out" >> "$tmp/new.t"
  done
  if ! cmp -s "$tmp/old.out" "$tmp/new.out"; then
    echo "DIFFERENT RESULT for ${names[$i]}: old '$(cat "$tmp/old.out")', new '$(cat "$tmp/new.out")'"
    status=1
  fi
  o=$(median < "$tmp/old.t")
  n=$(median < "$tmp/new.t")
  printf '%-18s %10.3f %10.3f %7.2fx\n' "${names[$i]}" "$o" "$n" "$(awk -v a="$o" -v b="$n" 'BEGIN { print a / b }')"
done
exit $status
