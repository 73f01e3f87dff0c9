#!/usr/bin/env bash
# The layer check passes on the real source tree and fails, naming the file and the include,
# on a tree with one upward include.
set -euo pipefail
check="$1/tools/check_layers.sh"
"$check" "$1/src"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/board" "$tree/search"
printf '#include "common/types.h"\n' > "$tree/search/ok.h"
printf '#include "search/ok.h"\n' > "$tree/board/bad.cpp"
if report=$("$check" "$tree" 2>&1); then
  echo "the check passed a board file that includes search" >&2
  exit 1
fi
grep -q 'board/bad.cpp: includes "search/ok.h"' <<<"$report" || { echo "unexpected report: $report" >&2; exit 1; }
echo "upward include reported: $report"
