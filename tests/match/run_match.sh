#!/usr/bin/env bash
# Plays Vostil against fairymax (or another xboard engine) inside the real xboard, in
# xboard's own match mode, under a private virtual X server, and fails on anything but a
# clean match: every game must end with a normal result (mate, stalemate, a draw by rule,
# or the move cap set here), and Vostil must never forfeit, crash, disconnect, hang at
# "quit" or pop up an error. Thinking is shown and saved: every move Vostil searched must
# carry xboard's {score/depth time} comment in the games, with a depth of at least 2.
# With -u Vostil speaks UCI instead: xboard starts it through the polyglot adapter, which
# turns Vostil's "info" lines into the thinking that the games keep.
#
# Usage: run_match.sh [options]
#   -n GAMES   games to play, colours alternating (default 4)
#   -p ENGINE  the opponent, an xboard engine on the PATH or in /usr/games (default fairymax)
#   -e ENGINE  the vostil binary (default build/release/vostil)
#   -b BOOK    the Vostil.book to put in Vostil's run folder (default: beside ENGINE);
#              when it does not exist the match runs without a book
#   -o DIR     output folder, emptied first (default build/match)
#   -t TC      xboard time control, minutes[:seconds] per period (default 0:20)
#   -m MOVES   moves per period (default 40)
#   -i SECONDS increment per move (default 0)
#   -c MOVES   move cap: the game is adjudicated a draw after this many moves (default 80)
#   -l SECONDS hard limit for the whole match (default 120 per game plus 60)
#   -s SECONDS stall limit: fail when xboard's log stops growing this long (default 90)
#   -u         Vostil as a UCI engine, through polyglot (its own book off: Vostil's book is used)
#
# Results: DIR/last_match.pgn (the games), DIR/xboard.debug (xboard's debug log, every line
# exchanged with both engines), DIR/vostil-run/Vostil.log (the engine's own log),
# DIR/summary.txt; with -u also DIR/vostil-run/polyglot.log (every line between polyglot and
# Vostil). Exit status: 0 clean match, 1 failure, 77 xboard, the opponent, Xvfb or (with -u)
# polyglot missing.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"

games=4
engine="$root/build/release/vostil"
book=""
out="$root/build/match"
tc="0:20"
mps=40
inc=0
move_cap=80
limit=""
stall_limit=90
opponent=fairymax
uci=0
while getopts "n:p:e:b:o:t:m:i:c:l:s:u" opt; do
  case "$opt" in
    n) games="$OPTARG" ;;
    p) opponent="$OPTARG" ;;
    e) engine="$OPTARG" ;;
    b) book="$OPTARG" ;;
    o) out="$OPTARG" ;;
    t) tc="$OPTARG" ;;
    m) mps="$OPTARG" ;;
    i) inc="$OPTARG" ;;
    c) move_cap="$OPTARG" ;;
    l) limit="$OPTARG" ;;
    s) stall_limit="$OPTARG" ;;
    u) uci=1 ;;
    *) sed -n '2,/^set /p' "$0" | sed '$d' >&2; exit 2 ;;
  esac
done
[ -n "$limit" ] || limit=$((games * 120 + 60))
[ -n "$book" ] || book="$(dirname "$engine")/Vostil.book"

# Debian installs the games and engines in /usr/games, which root's PATH lacks.
export PATH="$PATH:/usr/games"
missing=()
tools=(xboard "$opponent" Xvfb)
[ $uci = 0 ] || tools+=(polyglot)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: ${missing[*]} not installed (scripts/install_deps.sh match installs them)"
  exit 77
fi
if [ ! -x "$engine" ]; then
  echo "FAILED: no engine binary at $engine"
  exit 1
fi
engine="$(cd "$(dirname "$engine")" && pwd)/$(basename "$engine")"

# xboard starts the engines from their own folders: every path handed to it must be absolute.
rm -rf "$out"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
mkdir -p "$out/vostil-run" "$out/opponent-run" "$out/bin" "$out/home"
run_dir="$out/vostil-run"
events="$out/vostil-events"
pgn="$out/last_match.pgn"
debug="$out/xboard.debug"
: > "$events"

have_book=0
if [ -f "$book" ]; then
  cp "$book" "$run_dir/Vostil.book"
  have_book=1
else
  echo "note: no book at $book; Vostil plays without one (its BOOK ERROR message is allowed)"
fi

# xboard knows an engine only by the process it started. This stand-in runs Vostil and
# records how it ended. xboard sends SIGTERM right after "quit"; the stand-in does not pass
# it on, so that Vostil's own handling of "quit" is what is tested: it must end by itself,
# with status 0, within a few seconds.
cat > "$out/bin/vostil" <<EOF
#!/usr/bin/env bash
terminated=0
trap 'terminated=1' TERM
"$engine" 0<&0 &
child=\$!
echo "start \$child" >> "$events"
while kill -0 "\$child" 2>/dev/null; do
  if [ "\$terminated" = 1 ]; then
    for _ in \$(seq 50); do kill -0 "\$child" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "\$child" 2>/dev/null; then
      echo "hung \$child" >> "$events"
      kill -KILL "\$child"
    fi
    break
  fi
  wait "\$child"
done
wait "\$child"
echo "exit \$child \$?" >> "$events"
EOF
chmod +x "$out/bin/vostil"

xvfb_pid=""
xboard_pid=""
cleanup() {
  if [ -n "$xboard_pid" ] && kill -0 "$xboard_pid" 2>/dev/null; then
    kill -KILL -- "-$xboard_pid" 2>/dev/null || kill -KILL "$xboard_pid" 2>/dev/null
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A private X server on a free display: xboard needs one even with -noGUI.
display_file="$out/xvfb.display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$display_file" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$display_file" ]; then
  echo "FAILED: Xvfb did not start"; cat "$out/xvfb.log"
  exit 1
fi
export DISPLAY=":$(tr -d '[:space:]' < "$display_file")"
# xboard must neither read nor write the user's settings.
export HOME="$out/home"
export NO_AT_BRIDGE=1

# Fairymax 5.0b crashes now and then on a command it does not know before its first move;
# "computer" is one, so it is not told that its opponent is a machine.
xboard_args=(
  -noGUI -xncp -mm -mg "$games" -xexit -saveSettingsOnExit false
  -fcp "$out/bin/vostil" -fd "$run_dir"
  -scp "$opponent" -sd "$out/opponent-run" -secondComputerString ""
  -tc "$tc" -mps "$mps" -xponder
  -autoCallFlag true -testClaims true -checkMates true -materialDraws true
  -adjudicateDrawMoves "$move_cap" -matchPause 2000
  -sgf "$pgn" -debug -nameOfDebugFile "$debug" -showThinking true -pgnExtendedInfo true
  -soundProgram "" -xpopup
)
[ "$inc" = 0 ] || xboard_args+=(-inc "$inc")
polyglot_log="$run_dir/polyglot.log"
if [ $uci = 1 ]; then
  # xboard starts polyglot in -polyglotDir and polyglot starts the stand-in in -fd: both in
  # the run folder, so that whatever polyglot writes stays there (its settings folder is
  # under HOME). polyglot's own book is off and so is its resigning: every move comes from
  # Vostil. Its log keeps every line exchanged with Vostil, "info" lines included.
  xboard_args+=(
    -fUCI -polyglotDir "$run_dir" -usePolyglotBook false
    -adapterCommand "polyglot -noini -ec \"%fcp\" -ed \"%fd\" -log true -lf \"$polyglot_log\" -pg Book=false -pg Resign=false -pg ShowPonder=true"
  )
fi

started=$(date +%s)
echo "Match: Vostil$([ $uci = 1 ] && echo " (UCI, through polyglot)") against $opponent, $games games at $mps moves in $tc (+$inc s), cap $move_cap moves"
echo "Engine: $engine; book: $([ $have_book = 1 ] && echo "$book" || echo none); display $DISPLAY"
setsid xboard "${xboard_args[@]}" >"$out/xboard.out" 2>&1 &
xboard_pid=$!

failures=()
fail() { failures+=("$1"); echo "FAIL: $1"; }

games_saved() { if [ -f "$pgn" ]; then grep -c '^\[Result "' "$pgn"; else echo 0; fi; }

# Watch the match: xboard itself notices neither a dead engine nor one that never answers.
last_size=-1
last_growth=$started
engine_gone_at=""
while kill -0 "$xboard_pid" 2>/dev/null; do
  sleep 1
  now=$(date +%s)
  if [ $((now - started)) -ge "$limit" ]; then
    fail "the match did not end within its limit of $limit s ($(games_saved) of $games games saved)"
    break
  fi
  size=$(stat -c %s "$debug" 2>/dev/null || echo 0)
  if [ "$size" != "$last_size" ]; then
    last_size=$size
    last_growth=$now
  elif [ $((now - last_growth)) -ge "$stall_limit" ]; then
    fail "nothing happened for $stall_limit s: an engine stopped answering (last lines of the xboard log follow)"
    tail -n 15 "$debug" | sed 's/^/    /'
    break
  fi
  if grep -q '^exit ' "$events"; then
    [ -n "$engine_gone_at" ] || engine_gone_at=$now
    # After the last game xboard sends "quit" and leaves at once; anything else means
    # Vostil ended while xboard still expected moves from it.
    if [ $((now - engine_gone_at)) -ge 10 ]; then
      fail "Vostil ended during the match (after $(games_saved) of $games games): $(grep '^exit ' "$events" | head -1)"
      break
    fi
  fi
done
if kill -0 "$xboard_pid" 2>/dev/null; then
  kill -KILL -- "-$xboard_pid" 2>/dev/null || kill -KILL "$xboard_pid" 2>/dev/null
fi
wait "$xboard_pid" 2>/dev/null
xboard_status=$?
xboard_pid=""
# Vostil's stand-in writes its record once Vostil has ended.
for _ in $(seq 100); do
  [ "$(grep -c '^start ' "$events")" -le "$(grep -c -E '^(exit|hung) ' "$events")" ] && break
  sleep 0.1
done
elapsed=$(( $(date +%s) - started ))

# How Vostil ended.
if [ "$(grep -c '^start ' "$events")" -eq 0 ]; then
  fail "xboard never started Vostil"
fi
while read -r kind pid code; do
  case "$kind" in
    hung) fail "Vostil (pid $pid) did not end within 5 s of \"quit\"" ;;
    exit) [ "$code" = 0 ] || fail "Vostil (pid $pid) ended with status $code$([ "$code" -gt 128 ] && echo " (signal $((code - 128)))")" ;;
  esac
done < "$events"
if [ "$(grep -c '^start ' "$events")" -gt "$(grep -c '^exit ' "$events")" ]; then
  fail "Vostil was still running after xboard had ended"
fi

# What Vostil said that an interface shows the user or takes as a protocol error.
if [ -f "$debug" ]; then
  while IFS= read -r line; do
    if [ $have_book = 0 ] && [[ "$line" == *"tellusererror BOOK ERROR!"* ]]; then continue; fi
    fail "Vostil told xboard: ${line#*<first : }"
  done < <(grep -E '<first : (tellusererror|telluser |Error|Illegal move|illegal move)' "$debug")
  grep -q 'exited unexpectedly' "$debug" && fail "xboard reports an engine that exited unexpectedly"
else
  fail "xboard wrote no debug log"
fi
# Through polyglot a UCI "info string" reaches xboard as a line of thinking, which the lines
# above do not catch: only its book notes are expected from Vostil.
if [ $uci = 1 ]; then
  if [ -f "$polyglot_log" ]; then
    while IFS= read -r line; do
      text="${line#*Engine->Adapter: info string }"
      [ "$text" = book ] && continue
      if [ $have_book = 0 ] && [ "$text" = "BOOK ERROR!" ]; then continue; fi
      fail "Vostil told polyglot: info string $text"
    done < <(grep 'Engine->Adapter: info string ' "$polyglot_log")
  else
    fail "polyglot wrote no log"
  fi
fi

# Every game: a normal result, and an ending that is no forfeit, flag or false claim.
summary="$out/summary.txt"
: > "$summary"
if [ -f "$pgn" ]; then
  awk -v summary="$summary" '
    function finish() {
      if (result == "") return
      text = moves
      gsub(/[ \t\r\n]+/, " ", text)
      ending = ""
      if (match(text, /\{[^{}]*\} *(1-0|0-1|1\/2-1\/2|\*) *$/)) {
        ending = substr(text, RSTART + 1, RLENGTH)
        sub(/\} *(1-0|0-1|1\/2-1\/2|\*) *$/, "", ending)
      }
      n++
      vostilWhite = (tolower(white) ~ /^vostil/)
      line = sprintf("Game %d: %s - %s %s {%s}", n, white, black, result, ending)
      print line > summary
      if (result == "1/2-1/2") draws++
      else if ((result == "1-0") == vostilWhite) wins++
      else losses++
      bad = ""
      vostilWon = (result == "1-0" && vostilWhite) || (result == "0-1" && !vostilWhite)
      abnormal = tolower(ending) ~ /on time|forfeit|illegal|invalid|false .*claim|exit|error|disconnect|crash|abort/
      if (result !~ /^(1-0|0-1|1\/2-1\/2)$/) bad = "no result"
      # A game Vostil wins by a fault of the opponent (fairymax overstepping its time, say)
      # is no fault of Vostil.
      else if (abnormal && vostilWon) print "NOTE the opponent lost by its own fault: " line
      else if (abnormal) bad = "abnormal ending"
      else if (tolower(ending) !~ /mate|stalemate|repetition|50-move|fifty|insufficient|material|long game|trivial draw|resign|draw claim|draw by/) bad = "unrecognised ending"
      if (bad != "") print "BAD " bad ": " line
      checkThinking(moves, vostilWhite, n, ending)
      result = ""; moves = ""; white = ""; black = ""
    }
    # With thinking shown, xboard writes {score/depth time} after each move an engine searched.
    # Vostil answers from its book at the start of a game, without a search; after its first
    # searched move every move of its own must carry the comment, with a depth of at least 2,
    # but for a last move after which Vostil claimed the game (xboard then writes the claim in
    # place of the comment), and within reach of the book: a game that transposes into a book
    # position after a searched move gets the book move there (lines of the book hold at most 20
    # plies).
    function checkThinking(text, vostilWhite, game, ending,    nc, c, tok, count, i, white, mover, m, comment, searched, depth, number, moveNumber) {
      BOOK_REACH = 10
      nc = 0
      while (match(text, /\{[^{}]*\}/)) {
        c[++nc] = substr(text, RSTART + 1, RLENGTH - 2)
        text = substr(text, 1, RSTART - 1) " @" nc " " substr(text, RSTART + RLENGTH)
      }
      count = split(text, tok, /[ \t\r\n]+/)
      white = 1; m = 0
      for (i = 1; i <= count; i++) {
        if (tok[i] == "") continue
        if (tok[i] ~ /^[0-9]+\.\.\.$/) { white = 0; number = tok[i] + 0; continue }
        if (tok[i] ~ /^[0-9]+\.$/) { white = 1; number = tok[i] + 0; continue }
        if (tok[i] ~ /^@[0-9]+$/) {
          if (m > 0 && comment[m] == "" && c[substr(tok[i], 2)] ~ /^[+-]?[0-9]+\.[0-9]+\/[0-9]+( [0-9.:]+)?$/)
            comment[m] = c[substr(tok[i], 2)]
          continue
        }
        if (tok[i] ~ /^(1-0|0-1|1\/2-1\/2|\*)$/) break
        mover[++m] = (white == vostilWhite); comment[m] = ""; name[m] = tok[i]; moveNumber[m] = number
        white = !white
      }
      searched = 0
      for (i = 1; i <= m; i++) {
        if (!mover[i]) continue
        if (comment[i] != "") {
          searched++
          depth = comment[i]; sub(/^[^\/]*\//, "", depth); sub(/ .*$/, "", depth)
          if (depth + 0 < 2) print "BAD game " game ": Vostil'"'"'s move " name[i] " shows depth " depth
          thinkingComments++
        } else if (searched > 0 && !(i == m && ending !~ /[Aa]djudication/) && moveNumber[i] > BOOK_REACH) {
          print "BAD game " game ": Vostil'"'"'s searched move " name[i] " has no thinking comment"
        }
      }
      if (searched == 0) print "BAD game " game ": no move of Vostil shows its thinking"
    }
    /^\[Event / { finish() }
    /^\[White "/ { white = $0; sub(/^\[White "/, "", white); sub(/"\]$/, "", white) }
    /^\[Black "/ { black = $0; sub(/^\[Black "/, "", black); sub(/"\]$/, "", black) }
    /^\[Result "/ { result = $0; sub(/^\[Result "/, "", result); sub(/"\]$/, "", result) }
    !/^\[/ { moves = moves " " $0 }
    END {
      finish()
      printf("SCORE %d %d %d %d\n", n, wins, losses, draws)
      printf("NOTE %d moves of Vostil show their score and depth\n", thinkingComments)
    }' "$pgn" > "$out/pgn-check.txt"
  cat "$summary"
  grep '^NOTE ' "$out/pgn-check.txt" | sed 's/^NOTE /note: /' || true
  while IFS= read -r line; do fail "${line#BAD }"; done < <(grep '^BAD ' "$out/pgn-check.txt")
  read -r _ played wins losses draws < <(grep '^SCORE ' "$out/pgn-check.txt")
else
  played=0 wins=0 losses=0 draws=0
fi
[ "$played" -eq "$games" ] || fail "$played of $games games were saved"
[ "$xboard_status" = 0 ] || fail "xboard ended with status $xboard_status"

score="Vostil against $opponent: +$wins -$losses =$draws in $played games ($elapsed s)"
echo "$score" | tee -a "$summary"
if [ ${#failures[@]} -gt 0 ]; then
  echo "FAILED: ${#failures[@]} problem(s); see $out (xboard.debug, last_match.pgn, vostil-run/Vostil.log)"
  exit 1
fi
echo "PASSED: a clean match"
exit 0
