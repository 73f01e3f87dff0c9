#!/usr/bin/env bash
# make deb's packing of a build: the package's name, fields and files; unpacked into a scratch
# root (installing it needs root), its engine plays a book move from an empty folder and its
# plugin file names it; the manual page renders without a warning. Lintian, when installed,
# is run by the packing and fails it on an error.
# Usage: check_deb.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source="$(cd "$1" && pwd)"
build="$(cd "$2" && pwd)"
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed (dpkg-dev)"; exit 77; }
done
fail() { echo "FAILED: $*"; exit 1; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

MAINTAINER="Vostil tests <tests@example.org>" "$source/scripts/make_deb.sh" "$build" "$scratch/out" >/dev/null
package="$(ls "$scratch"/out/*.deb)"
field() { dpkg-deb -f "$package" "$1"; }
version="$(field Version)"
[ "$(basename "$package")" = "vostil_${version}_$(dpkg --print-architecture).deb" ] || fail "named $package"
[ "$(field Package) $(field Section)" = "vostil games" ] || fail "package $(field Package), section $(field Section)"
[[ "$(field Depends)" == *libc6* ]] || fail "no libc6 among the dependencies: $(field Depends)"
files="$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sort | tr '\n' ' ')"
expected="./usr/games/vostil ./usr/share/doc/vostil/changelog.gz ./usr/share/doc/vostil/copyright"
expected+=" ./usr/share/games/plugins/logos/vostil.png ./usr/share/games/plugins/xboard/vostil.eng"
expected+=" ./usr/share/games/vostil/Vostil.book ./usr/share/lintian/overrides/vostil ./usr/share/man/man6/vostil.6.gz "
[ "$files" = "$expected" ] || fail "the package holds $files"

dpkg-deb -x "$package" "$scratch/root"
[ "$(sed -n 2p "$scratch/root/usr/share/games/plugins/xboard/vostil.eng")" = vostil ] ||
  fail "the plugin file names another program"
[ "$(od -An -tu1 -j16 -N8 "$scratch/root/usr/share/games/plugins/logos/vostil.png" | tr -s ' ')" = " 0 0 0 100 0 0 0 50" ] ||
  fail "the logo is not 100x50"
mkdir "$scratch/empty" && cd "$scratch/empty"
output="$( { printf 'xboard\nnew\ne2e4\n'; sleep 1; printf 'quit\n'; } | timeout 20 "$scratch/root/usr/games/vostil")"
grep -q -- '-M: move(book): ' Vostil.log || fail "no book move from an empty folder: $output"
[ "$("$scratch/root/usr/games/vostil" --version)" = "$("$build/vostil" --version)" ] || fail "another --version"

warnings="$(zcat "$scratch/root/usr/share/man/man6/vostil.6.gz" | groff -ww -man -z 2>&1)"
if command -v mandoc >/dev/null 2>&1; then
  warnings+="$(zcat "$scratch/root/usr/share/man/man6/vostil.6.gz" | mandoc -T lint -W warning 2>&1)"
fi
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
echo "PASSED: $(basename "$package") holds the engine, its book, the plugin and the manual page"
