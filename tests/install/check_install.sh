#!/usr/bin/env bash
# Installs a build into a scratch prefix and plays one book move with the installed engine,
# started the way a GUI starts it: in a folder of its own holding the installed book.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
engine="$scratch/prefix/bin/vostil"
book="$scratch/prefix/share/vostil/Vostil.book"
[ -x "$engine" ] || { echo "FAILED: no executable at bin/vostil"; exit 1; }
[ -f "$book" ] || { echo "FAILED: no book at share/vostil/Vostil.book"; exit 1; }
cmp -s "$book" "$build/Vostil.book" || { echo "FAILED: the installed book differs from the build's"; exit 1; }

mkdir "$scratch/run"
cp "$book" "$scratch/run/"
cd "$scratch/run"
output="$( { printf 'xboard\nnew\ne2e4\n'; sleep 1; printf 'quit\n'; } | timeout 20 "$engine")"
grep -q '^move [a-h][1-8][a-h][1-8]' <<<"$output" || { echo "FAILED: no move from the installed engine:"; echo "$output"; exit 1; }
grep -q -- '-M: move(book): ' Vostil.log || { echo "FAILED: the installed engine did not play from its book:"; cat Vostil.log; exit 1; }
echo "PASSED: installed engine and book play a book move"
