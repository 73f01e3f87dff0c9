#!/usr/bin/env bash
# Unattended soak run: xboard games against every Debian xboard engine installed (fairymax,
# and hoichess and phalanx when present), one match at a time, while one stream of random
# protocol conversations runs against the sanitizer build. Ends with a one-page report.
#
# Usage: tools/soak.sh DURATION [-o DIR] [-g GAMES]
#   DURATION  how long to start new work: seconds, or with a suffix m or h (90m, 1h)
#   -o DIR    output folder, emptied first (default build/soak)
#   -g GAMES  games per match, colours alternating (default 2)
#
# The engine and book are copies of build/release's (built first by `make soak`), so a
# rebuild during the run disturbs nothing; the conversations use build/soak-sanitize, which
# only this script builds. Report: DIR/report.txt; every match keeps its folder under
# DIR/games, every batch of conversations its output under DIR/fuzz.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
usage() { sed -n '2,/^set /p' "$0" | sed '$d' >&2; exit 2; }
[ $# -ge 1 ] || usage
duration="$1"
shift
out="$root/build/soak"
games_per_match=2
while getopts "o:g:" opt; do
  case "$opt" in
    o) out="$OPTARG" ;;
    g) games_per_match="$OPTARG" ;;
    *) usage ;;
  esac
done
case "$duration" in
  *h) seconds=$((${duration%h} * 3600)) ;;
  *m) seconds=$((${duration%m} * 60)) ;;
  *) seconds=$((duration)) ;;
esac
[ "$seconds" -gt 0 ] || usage

export PATH="$PATH:/usr/games"
opponents=()
for engine in fairymax hoichess phalanx; do
  command -v "$engine" >/dev/null 2>&1 && opponents+=("$engine")
done
[ ${#opponents[@]} -gt 0 ] || { echo "soak: no opponent installed (apt-get install fairymax)" >&2; exit 1; }
[ -x "$root/build/release/vostil" ] || { echo "soak: build the engine first (make build)" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/bin" "$out/games" "$out/fuzz"
out="$(cd "$out" && pwd)"
cp "$root/build/release/vostil" "$out/bin/vostil"
cp "$root/build/release/Vostil.book" "$out/bin/Vostil.book" 2>/dev/null
sanitize="$root/build/soak-sanitize"
echo "Building the sanitizer engine and tests in $sanitize"
cmake -S "$root" -B "$sanitize" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DVOSTIL_SANITIZE=ON >"$out/sanitize-build.log" 2>&1 &&
  cmake --build "$sanitize" -j 2 --target vostil vostil_tests >>"$out/sanitize-build.log" 2>&1 ||
  { echo "soak: the sanitizer build failed; see $out/sanitize-build.log" >&2; exit 1; }

started=$(date +%s)
deadline=$((started + seconds))
echo "Soak until $(date -u -d "@$deadline" +%H:%M:%S) UTC against ${opponents[*]}; output in $out"

# One stream of conversations, batches of 40 with a new seed each.
fuzz_stream() {
  local seed=1000
  while [ "$(date +%s)" -lt "$deadline" ]; do
    seed=$((seed + 1))
    (cd "$out/fuzz" &&
      ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      VOSTIL_SANITIZED=1 VOSTIL_FUZZ_RUNS=160 VOSTIL_FUZZ_SEED=$seed \
      timeout 1800 "$sanitize/vostil_tests" --gtest_filter='ProtocolFuzz.RandomConversationsShard0' \
      >"$out/fuzz/batch-$seed.txt" 2>&1
      echo "exit $?" >>"$out/fuzz/batch-$seed.txt")
  done
}

# Highest resident set of any soak engine process, sampled every two seconds.
memory_watch() {
  local peak=0 rss=0 pid
  while [ "$(date +%s)" -lt "$deadline" ] || pgrep -x vostil >/dev/null; do
    for pid in $(pgrep -x vostil); do
      [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$out/bin/vostil" ] || continue
      rss=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
      [ "${rss:-0}" -gt "$peak" ] && peak=$rss && echo "$peak" >"$out/peak-rss-kb"
    done
    sleep 2
    [ -f "$out/games.done" ] && break
  done
}

fuzz_stream &
fuzz_pid=$!
memory_watch &
memory_pid=$!

match=0
while [ "$(date +%s)" -lt "$deadline" ]; do
  opponent="${opponents[$((match % ${#opponents[@]}))]}"
  match=$((match + 1))
  dir="$out/games/$(printf %03d "$match")-$opponent"
  "$root/tests/match/run_match.sh" -n "$games_per_match" -p "$opponent" -e "$out/bin/vostil" \
    -b "$out/bin/Vostil.book" -o "$dir" >"$out/games/$(printf %03d "$match")-$opponent.txt" 2>&1
  echo "match $match against $opponent: exit $?" >>"$out/matches.txt"
done
touch "$out/games.done"
wait "$fuzz_pid"
wait "$memory_pid"
ended=$(date +%s)

# --- The report ------------------------------------------------------------------------------
report="$out/report.txt"
{
  echo "Vostil soak report, $(date -u -d "@$started" '+%Y-%m-%d %H:%M') to $(date -u -d "@$ended" '+%H:%M') UTC ($(( (ended - started) / 60 )) min)"
  echo "Engine: copy of build/release/vostil; games 40 moves in 20 s, cap 80 moves, $games_per_match per match"
  echo
  echo "Games (wins/draws/losses are Vostil's):"
  total=0
  for opponent in "${opponents[@]}"; do
    awk -v who="$opponent" '/^SCORE / { n += $2; w += $3; l += $4; d += $5 }
      END { printf("  %-10s %4d games  +%d =%d -%d\n", who, n, w, d, l) }' \
      /dev/null $(ls "$out"/games/*-"$opponent"/pgn-check.txt 2>/dev/null)
    total=$((total + $(cat "$out"/games/*-"$opponent"/pgn-check.txt 2>/dev/null | awk '/^SCORE / { n += $2 } END { print n + 0 }')))
  done
  echo "  played in all: $total games in $match matches"
  echo
  # Endings that are a fault, charged to the side that lost the game.
  cat "$out"/games/*/summary.txt 2>/dev/null | awk '
    /^Game / {
      vw = ($0 ~ /: vostil/)
      vl = ($0 ~ / 1-0 \{/ && !vw) || ($0 ~ / 0-1 \{/ && vw)
      e = tolower($0)
      side = vl ? "vostil" : "opponent"
      if (e ~ /illegal|invalid/) ill[side]++
      if (e ~ /on time|forfeit/) flag[side]++
      if (e ~ /false .*claim/) claim[side]++
    }
    END {
      printf("Illegal moves:   Vostil %d, opponents %d\n", ill["vostil"], ill["opponent"])
      printf("Time forfeits:   Vostil %d, opponents %d\n", flag["vostil"], flag["opponent"])
      printf("False claims:    Vostil %d, opponents %d\n", claim["vostil"], claim["opponent"])
    }'
  crashes=$(cat "$out"/games/*/vostil-events 2>/dev/null | awk '$1 == "exit" && $3 != 0' | wc -l)
  hangs=$(cat "$out"/games/*/vostil-events 2>/dev/null | grep -c '^hung ')
  stalls=$(cat "$out"/games/*.txt 2>/dev/null | grep -c 'FAIL: nothing happened')
  stuck=$(cat "$out"/games/*.txt 2>/dev/null | grep -c 'FAIL: Vostil was still running after xboard')
  starts=$(cat "$out"/games/*/vostil-events 2>/dev/null | grep -c '^start ')
  echo "Crashes:         $crashes of $starts engine processes ended with a non-zero status"
  echo "Hangs:           $hangs at quit, $stalls matches stalled, $stuck engines still running after the match"
  failed=$(grep -vc ': exit 0$' "$out/matches.txt")
  echo "Matches failed:  $failed of $match$([ "$failed" -eq 0 ] || echo "; the most frequent reasons:")"
  cat "$out"/games/*.txt 2>/dev/null | grep '^FAIL: ' | sort | uniq -c | sort -rn | head -8 | sed 's/^/    /'
  peak=$(cat "$out/peak-rss-kb" 2>/dev/null || echo 0)
  echo "Resident memory: peak $((peak / 1024)) MB (VmHWM of the engine processes while playing)"
  echo
  conversations=$(cat "$out"/fuzz/batch-*.txt 2>/dev/null |
    awk '/^shard 0: [0-9]+ conversations/ { n += $3 } END { print n + 0 }')
  batches=$(ls "$out"/fuzz/batch-*.txt 2>/dev/null | wc -l)
  bad_batches=$(grep -L '^exit 0$' "$out"/fuzz/batch-*.txt 2>/dev/null | wc -l)
  reports=$(cat "$out"/fuzz/batch-*.txt 2>/dev/null |
    grep -cE 'ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:')
  echo "Protocol conversations (sanitizer build): $conversations in $batches batches, $bad_batches failing"
  echo "Sanitizer reports: $reports"
  [ "$bad_batches" -gt 0 ] && grep -L '^exit 0$' "$out"/fuzz/batch-*.txt | head -3 | sed 's/^/    see /'
  echo
  echo "Command: tools/soak.sh $duration$([ "$out" = "$root/build/soak" ] || echo " -o $out") -g $games_per_match"
} >"$report"
cat "$report"
