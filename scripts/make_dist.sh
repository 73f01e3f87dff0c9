#!/usr/bin/env bash
# Writes the release archives into dist/, named with the version:
#   vostil-<version>-linux-x86_64.tar.gz   vostil, Vostil.book, README.md
#   vostil-<version>-windows-i686.zip      vostil.exe, Vostil.book, Setup.txt
# The version is git describe's in a clone; in a tree without its history (a source archive)
# it is the first line of the VERSION file at the top, else unknown-<today, YYYYMMDD>.
# Usage: make_dist.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR DIST_DIR
set -euo pipefail
mkdir -p "$3"
linux="$(cd "$1" && pwd)"
windows="$(cd "$2" && pwd)"
dist="$(cd "$3" && pwd)"
cd "$(dirname "$0")/.."
command -v zip >/dev/null 2>&1 || { echo "zip is missing: sudo apt-get install -y zip" >&2; exit 1; }
# Only a repository whose top is this tree: an archive unpacked inside another clone must
# not take that clone's version.
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ] &&
   version="$(git describe --tags --always --dirty 2>/dev/null)"; then
  :
elif [ -f VERSION ]; then
  version=""
  read -r version < VERSION || true
  version="${version%$'\r'}"
  # It goes into the archives' file names.
  [[ "$version" =~ ^[A-Za-z0-9._+-]+$ ]] ||
    { echo "the first line of VERSION must be a version (letters, digits and . _ + -), not '$version'" >&2; exit 1; }
else
  version="unknown-$(date +%Y%m%d)"
fi
name="vostil-$version"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/linux" "$scratch/windows"
mkdir "$scratch/linux/$name" "$scratch/windows/$name"
cp "$linux/vostil" "$linux/Vostil.book" README.md "$scratch/linux/$name/"
tar -C "$scratch/linux" -czf "$dist/$name-linux-x86_64.tar.gz" "$name"

cp "$windows/vostil.exe" "$windows/Vostil.book" "$scratch/windows/$name/"
# Notepad wants CR LF.
sed 's/$/\r/' docs/windows-setup.txt > "$scratch/windows/$name/Setup.txt"
rm -f "$dist/$name-windows-i686.zip"
(cd "$scratch/windows" && zip -q -r "$dist/$name-windows-i686.zip" "$name")

echo "Wrote $dist/$name-linux-x86_64.tar.gz and $dist/$name-windows-i686.zip"
