#!/usr/bin/env bash
# Writes the release archives into dist/, named with the version:
#   vostil-<version>-linux-x86_64.tar.gz   vostil, Vostil.book, README.md
#   vostil-<version>-windows-i686.zip      vostil.exe, Vostil.book, Setup.txt
# The version is scripts/find_version.sh's: git describe's in a clone, else the VERSION
# file's, else unknown-<today, YYYYMMDD>.
# Usage: make_dist.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR DIST_DIR
set -euo pipefail
mkdir -p "$3"
linux="$(cd "$1" && pwd)"
windows="$(cd "$2" && pwd)"
dist="$(cd "$3" && pwd)"
cd "$(dirname "$0")/.."
command -v zip >/dev/null 2>&1 || { echo "zip is missing: sudo apt-get install -y zip" >&2; exit 1; }
version="$(scripts/find_version.sh)"
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
