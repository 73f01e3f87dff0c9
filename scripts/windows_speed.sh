#!/usr/bin/env bash
# Perft and bench of the 32-bit Windows build under Wine beside the native Linux build, measured in
# one run: each round runs both builds once, one after the other (hyperfine --runs 1), so that
# a change in the machine's load falls on both alike; the report gives medians.
# Usage: scripts/windows_speed.sh [ROUNDS]   (after make windows)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-5}"
export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG=-all
KIWIPETE="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"; wineserver -k 2>/dev/null || true' EXIT
wineserver -p
wineboot -i >/dev/null 2>&1

# measure NAME PROGRAM "ARGUMENTS": one hyperfine run per build and round, then the medians.
measure() {
  local name="$1" program="$2" arguments="$3"
  local commands=("build/release/$program $arguments"
                  "wine build/windows/$program.exe $arguments")
  for round in $(seq "$rounds"); do
    hyperfine --runs 1 --style none --export-json "$scratch/$name-$round.json" "${commands[@]}" >/dev/null
  done
  python3 - "$name" "$scratch" "$rounds" <<'PY'
import json, statistics, sys
name, folder, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
times = {}
for r in range(1, rounds + 1):
    for result in json.load(open(f"{folder}/{name}-{r}.json"))["results"]:
        times.setdefault(result["command"], []).append(result["times"][0])
for command, t in times.items():
    print(f"{name:10} median {statistics.median(t):7.2f} s  (min {min(t):.2f}, max {max(t):.2f})  {command}")
PY
}
measure perft-start perft "6"
measure kiwipete perft "5 '$KIWIPETE'"
measure bench bench ""
