#!/usr/bin/env bash
# xboard's Analyze File mode with Vostil, under a private virtual X server and without a click:
# xboard loads a short game, steps through it sending each move to the analysing engine, and
# saves the game annotated with what the engine said. Every move of the game after the first
# (which xboard plays before it starts the analysis) must carry Vostil's evaluation
# ({score/depth}, depth at least 2) and its line; Vostil never plays a move.
# Usage: analyse_game_file.sh ENGINE OUT_DIR
set -uo pipefail
engine="$1"
out="$2"
export PATH="$PATH:/usr/games"
for tool in xboard Xvfb; do
  command -v "$tool" >/dev/null 2>&1 ||
    { echo "SKIPPED: $tool not installed (scripts/install_deps.sh match installs it)"; exit 77; }
done
engine="$(cd "$(dirname "$engine")" && pwd)/$(basename "$engine")"
rm -rf "$out"
mkdir -p "$out/home" "$out/run"
out="$(cd "$out" && pwd)"
export HOME="$out/home" NO_AT_BRIDGE=1

cat > "$out/game.pgn" <<'GAME'
[Event "Analysis test"]
[White "White"]
[Black "Black"]
[Result "*"]

1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *
GAME
plies=6

xvfb_pid=""
xboard_pid=""
cleanup() {
  [ -n "$xboard_pid" ] && kill -KILL "$xboard_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$out/xvfb.display" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$out/xvfb.display" ] && break; sleep 0.1; done
[ -s "$out/xvfb.display" ] || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' < "$out/xvfb.display")"

# One second per move; xboard saves the annotated game when it is told to end.
xboard -fcp "$engine" -fd "$out/run" -initialMode AnalyzeFile -loadGameFile "$out/game.pgn" \
  -timeDelay 1 -saveGameFile "$out/analysed.pgn" -saveSettingsOnExit false -xpopup \
  -debug -nameOfDebugFile "$out/xboard.debug" >"$out/xboard.out" 2>&1 &
xboard_pid=$!
# Each move is analysed once xboard has stepped to it; then a little for the last one.
for _ in $(seq 300); do
  sent="$(grep -c '^::cmd:: [a-h][1-8][a-h][1-8]' "$out/run/Vostil.log" 2>/dev/null || true)"
  [ "${sent:-0}" -ge "$plies" ] && break
  kill -0 "$xboard_pid" 2>/dev/null || break
  sleep 0.1
done
sleep 2
kill -TERM "$xboard_pid" 2>/dev/null
for _ in $(seq 100); do kill -0 "$xboard_pid" 2>/dev/null || break; sleep 0.1; done
xboard_pid=""

failed=0
fail() { echo "FAILED: $1"; failed=1; }
[ -f "$out/analysed.pgn" ] || { fail "xboard saved no game (see $out/xboard.out)"; exit 1; }
grep -q '^::cmd:: analyze$' "$out/run/Vostil.log" || fail "xboard never asked Vostil to analyse"
grep -q '<first : move ' "$out/xboard.debug" && fail "Vostil played a move while analysing"
# Each move followed by {score/depth} and the engine's line in parentheses.
evaluations="$(tr '\n' ' ' < "$out/analysed.pgn" |
  grep -oE '\{[+-]?[0-9]+\.[0-9]+/[0-9]+\} *\([^()]+\)' | wc -l)"
shallow="$(grep -oE '\{[+-]?[0-9]+\.[0-9]+/[01]\}' "$out/analysed.pgn" | wc -l)"
# xboard plays the first move before it starts the analysis: the other moves carry a line each.
[ "$evaluations" -ge $((plies - 1)) ] || fail "$evaluations of $((plies - 1)) moves carry Vostil's evaluation and line"
[ "$shallow" -eq 0 ] || fail "$shallow evaluations shallower than 2 plies"
if [ "$failed" -eq 0 ]; then
  echo "PASSED: xboard analysed the $plies moves of a game file with Vostil"
else
  cat "$out/analysed.pgn"
fi
exit "$failed"
