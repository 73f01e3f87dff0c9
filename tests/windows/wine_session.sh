#!/usr/bin/env bash
# Opens and closes the Wine session of the Windows tests. "start" makes the Windows build's
# private prefix once (its first start takes tens of seconds) and keeps one wineserver up for
# the whole session, so that every engine the tests start is ready within a second; "stop"
# ends every Wine process of the session, so that none outlives the tests.
# Usage: wine_session.sh start|stop WINDOWS_BUILD_DIR
set -uo pipefail
action="$1"

if ! command -v wine >/dev/null 2>&1; then
  echo "Wine is not installed: the Windows tests report themselves skipped"
  exit 0
fi
. "$(dirname "$0")/wine_loader.sh" "$2"
if [ ! -f "$windows/vostil.exe" ]; then
  echo "No Windows build in $windows (make windows): the Windows tests report themselves skipped"
  exit 0
fi

# Wine wants an absolute prefix; the server needs its folder to exist.
export WINEPREFIX="$(cd "$windows" && pwd)/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"

case "$action" in
  start)
    started=$(date +%s)
    # The persistent server first, so that the boot and every test use that one.
    wineserver -p >/dev/null 2>&1 || true
    "$wine" wineboot -i >/dev/null 2>&1 || { echo "FAILED: wineboot could not make $WINEPREFIX"; exit 1; }
    echo "Wine prefix $WINEPREFIX ready after $(( $(date +%s) - started )) s"
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: wine_session.sh start|stop WINDOWS_BUILD_DIR" >&2
    exit 2
    ;;
esac
