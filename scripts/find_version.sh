#!/usr/bin/env bash
# Prints the version that the release archives, the Debian package and `vostil --version`
# carry: git describe's in a clone; in a tree without its history (a source archive) the first
# line of the VERSION file at the top, else unknown-<today, YYYYMMDD>.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only a repository whose top is this tree: an archive unpacked inside another clone must
# not take that clone's version.
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ] &&
   version="$(git describe --tags --always --dirty 2>/dev/null)"; then
  :
elif [ -f VERSION ]; then
  version=""
  read -r version < VERSION || true
  version="${version%$'\r'}"
  # It goes into file names.
  [[ "$version" =~ ^[A-Za-z0-9._+-]+$ ]] ||
    { echo "the first line of VERSION must be a version (letters, digits and . _ + -), not '$version'" >&2; exit 1; }
else
  version="unknown-$(date +%Y%m%d)"
fi
echo "$version"
