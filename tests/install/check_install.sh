#!/usr/bin/env bash
# Installs a build into a scratch prefix (engine, book, xboard plugin and logo, manual page)
# and plays one book move with the installed engine, started the way a GUI starts it: in a
# folder of its own holding the installed book, then in an empty folder, where it must find
# share/vostil/Vostil.book from its own place.
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
# xboard's plugin file names the installed engine; the logo and the manual page lie beside.
[ "$(cat "$scratch/prefix/share/games/plugins/xboard/vostil.eng")" = "$(printf 'plugin spec 0.0\n%s\nchess' "$engine")" ] ||
  { echo "FAILED: the plugin file does not name $engine"; exit 1; }
for file in share/games/plugins/logos/vostil.png share/man/man6/vostil.6; do
  [ -f "$scratch/prefix/$file" ] || { echo "FAILED: no $file"; exit 1; }
done

# play_book_move FOLDER WHAT: starts the installed engine in FOLDER and expects a book reply.
play_book_move() {
  cd "$1"
  output="$( { printf 'xboard\nnew\ne2e4\n'; sleep 1; printf 'quit\n'; } | timeout 20 "$engine")"
  grep -q '^move [a-h][1-8][a-h][1-8]' <<<"$output" || { echo "FAILED: no move from the installed engine $2:"; echo "$output"; exit 1; }
  if grep -q 'BOOK ERROR' <<<"$output"; then echo "FAILED: book error from the installed engine $2:"; echo "$output"; exit 1; fi
  grep -q -- '-M: move(book): ' Vostil.log || { echo "FAILED: the installed engine did not play from its book $2:"; cat Vostil.log; exit 1; }
}

mkdir "$scratch/run" "$scratch/empty"
cp "$book" "$scratch/run/"
play_book_move "$scratch/run" "in a folder holding the book"
play_book_move "$scratch/empty" "in an empty folder"
echo "PASSED: installed engine and book play a book move, with and without the book in its folder"
