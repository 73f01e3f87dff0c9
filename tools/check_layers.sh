#!/usr/bin/env bash
# Fails on any include that reaches up the layers of src/, naming the file and the include.
# The layers, lowest first (a file may include its own layer and the ones below it):
#   common, platform < board < eval < movegen < search < book < game < protocol < main.cpp
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"

layer_of() {
  case "$1" in
    common|platform) echo 0 ;;
    board) echo 1 ;;
    eval) echo 2 ;;
    movegen) echo 3 ;;
    search) echo 4 ;;
    book) echo 5 ;;
    game) echo 6 ;;
    protocol) echo 7 ;;
    main.cpp) echo 8 ;;
    *) echo "" ;;
  esac
}

status=0
while IFS= read -r file; do
  rel="${file#"$src"/}"
  folder="${rel%%/*}"
  own=$(layer_of "$folder")
  if [ -z "$own" ]; then
    echo "$rel: folder '$folder' has no layer" >&2
    status=1
    continue
  fi
  while IFS= read -r include; do
    target="${include%%/*}"
    theirs=$(layer_of "$target")
    if [ -z "$theirs" ]; then
      echo "$rel: includes \"$include\" from folder '$target', which has no layer" >&2
      status=1
    elif [ "$theirs" -gt "$own" ]; then
      echo "$rel: includes \"$include\", a higher layer ($target above $folder)" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

[ "$status" -eq 0 ] && echo "layers: no upward include in $src"
exit "$status"
