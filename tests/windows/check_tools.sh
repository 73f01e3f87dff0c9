#!/usr/bin/env bash
# perft.exe and bench.exe under Wine: the published perft counts of the initial position and
# Kiwipete, and the bench signature of the Linux build of the same source.
# Usage: check_tools.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -uo pipefail
linux="$1"
. "$(dirname "$0")/wine_loader.sh" "$2"
if ! command -v wine >/dev/null 2>&1 || [ ! -f "$windows/perft.exe" ]; then
  echo "Windows tests skipped: no Wine or no Windows build in $windows"
  exit 77
fi
windows="$(cd "$windows" && pwd)"  # Wine wants an absolute prefix
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all
KIWIPETE="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"

failed=0
# perft_count DEPTH EXPECTED [FEN]
perft_count() {
  local output
  output="$("$wine" "$windows/perft.exe" "$1" ${3:+"$3"} | tr -d '\r')"
  if grep -q "^perft $1: $2 nodes" <<<"$output"; then
    echo "perft.exe $1 ${3:-(initial position)}: $2"
  else
    echo "FAILED: perft.exe $1 ${3:-(initial position)}: expected $2, got: $output"
    failed=1
  fi
}
perft_count 6 119060324
perft_count 4 4085603 "$KIWIPETE"

linux_signature="$("$linux/bench" | tail -n 1)"
windows_signature="$("$wine" "$windows/bench.exe" | tr -d '\r' | tail -n 1)"
if [ -n "$linux_signature" ] && [ "$linux_signature" = "$windows_signature" ]; then
  echo "bench signature $windows_signature on both builds"
else
  echo "FAILED: bench signature: Linux '$linux_signature', Windows '$windows_signature'"
  failed=1
fi
exit "$failed"
