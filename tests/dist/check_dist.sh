#!/usr/bin/env bash
# `make dist` in a tree exported without its history, as a release source archive holds it:
# the archives take their version from the VERSION file, or are named unknown-<date> without
# one (also when the tree was unpacked inside another clone), and hold the engine, the book
# and the notes; in the clone itself they keep git describe's version. It packs builds made
# before (DIST_PREBUILT), so nothing is rebuilt.
# Usage: check_dist.sh SOURCE_DIR LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
source="$1"
linux="$(cd "$2" && pwd)"
windows="$3"

skip() { echo "SKIPPED: $1"; exit 77; }
command -v zip >/dev/null 2>&1 || skip "zip is not installed"
command -v unzip >/dev/null 2>&1 || skip "unzip is not installed"
[ -f "$windows/vostil.exe" ] || skip "no Windows build in $windows (make windows)"
windows="$(cd "$windows" && pwd)"
git -C "$source" rev-parse --git-dir >/dev/null 2>&1 || skip "$source is not a git clone"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
tree="$scratch/tree"
mkdir "$tree"
# The tracked files as they are in the working tree, without .git.
(cd "$source" && git ls-files -z | tar --null -T - -c --ignore-failed-read) | tar -x -C "$tree"

# make_dist TREE OUT: runs make dist in TREE into OUT, packing the builds made before.
make_dist() {
  local built_before=no
  [ ! -e "$1/build" ] || built_before=yes
  env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS make --no-print-directory -C "$1" dist DIST_PREBUILT=1 \
    RELEASE_DIR="$linux" WINDOWS_DIR="$windows" DIST_DIR="$2" >/dev/null
  [ "$built_before" = yes ] || [ ! -e "$1/build" ] || { echo "FAILED: make dist DIST_PREBUILT=1 built in $1"; exit 1; }
}

# expect_archives OUT VERSION: the two archives of VERSION, and nothing else, with their files.
expect_archives() {
  local name="vostil-$2"
  local tarball="$1/$name-linux-x86_64.tar.gz" zipfile="$1/$name-windows-i686.zip"
  [ -f "$tarball" ] && [ -f "$zipfile" ] || { echo "FAILED: expected $name archives, found:"; ls "$1"; exit 1; }
  [ "$(ls "$1" | wc -l)" -eq 2 ] || { echo "FAILED: more than the two archives:"; ls "$1"; exit 1; }
  local listed
  listed="$(tar -tzf "$tarball" | sort | tr '\n' ' ')"
  [ "$listed" = "$name/ $name/README.md $name/Vostil.book $name/vostil " ] ||
    { echo "FAILED: $tarball holds $listed"; exit 1; }
  listed="$(unzip -Z1 "$zipfile" | sort | tr '\n' ' ')"
  [ "$listed" = "$name/ $name/Setup.txt $name/Vostil.book $name/vostil.exe " ] ||
    { echo "FAILED: $zipfile holds $listed"; exit 1; }
  echo "make dist wrote the $name archives"
}

printf '1.4.2\n' > "$tree/VERSION"
make_dist "$tree" "$scratch/with-version"
expect_archives "$scratch/with-version" 1.4.2

# Unpacked inside a clone that has a commit, so that git describe would answer if asked there.
git init -q "$scratch"
git -C "$scratch" -c user.name=test -c user.email=test@example.org -c commit.gpgsign=false commit -q --allow-empty -m outer
rm "$tree/VERSION"
before="$(date +%Y%m%d)"
make_dist "$tree" "$scratch/without-version"
today="$(date +%Y%m%d)"
# A run across midnight may have named them with the day before.
[ -f "$scratch/without-version/vostil-unknown-$today-linux-x86_64.tar.gz" ] || today="$before"
expect_archives "$scratch/without-version" "unknown-$today"

described="$(git -C "$source" describe --tags --always --dirty)"
make_dist "$source" "$scratch/clone"
expect_archives "$scratch/clone" "$described"
echo "PASSED: make dist names the archives from VERSION, else unknown-<date>, outside a clone"
