#!/usr/bin/env bash
# make deb's packing of a build: the package's name, fields and files; unpacked into a scratch
# root (installing needs root), its engine plays a book move from an empty folder; the manual
# page renders without a warning. Lintian, when installed, runs in the packing: an error fails it.
# Usage: check_deb.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
command -v dpkg-shlibdeps >/dev/null 2>&1 || { echo "SKIPPED: dpkg-dev is not installed"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

MAINTAINER="Vostil tests <tests@example.org>" "$1/scripts/make_deb.sh" "$2" "$scratch/out" >/dev/null
package="$(ls "$scratch"/out/*.deb)"
fields="$(dpkg-deb -f "$package" Package Version Architecture Section Depends)"
[[ "$fields" =~ ^Package:\ vostil$'\n'Version:\ ([^$'\n']+)$'\n'Architecture:\ ([a-z0-9]+)$'\n'Section:\ games$'\n'Depends:\ .*libc6 ]] &&
  [ "$(basename "$package")" = "vostil_${BASH_REMATCH[1]}_${BASH_REMATCH[2]}.deb" ] || fail "$package holds $fields"
files="$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sort | tr '\n' ' ')"
expected=(./usr/games/vostil ./usr/share/doc/vostil/{changelog.gz,copyright} ./usr/share/games/plugins/{logos/vostil.png,xboard/vostil.eng}
  ./usr/share/games/vostil/Vostil.book ./usr/share/lintian/overrides/vostil ./usr/share/man/man6/vostil.6.gz)
[ "$files" = "${expected[*]} " ] || fail "the package holds $files"

dpkg-deb -x "$package" "$scratch/root"
[ "$(sed -n 2p "$scratch/root/usr/share/games/plugins/xboard/vostil.eng")" = vostil ] || fail "the plugin names another program"
[ "$(od -An -tu1 -j16 -N8 "$scratch/root/usr/share/games/plugins/logos/vostil.png" | tr -s ' ')" = " 0 0 0 100 0 0 0 50" ] ||
  fail "the logo is not 100x50"
mkdir "$scratch/empty" && cd "$scratch/empty"
output="$( { printf 'xboard\nnew\ne2e4\n'; sleep 1; printf 'quit\n'; } | timeout 20 "$scratch/root/usr/games/vostil")"
grep -q -- '-M: move(book): ' Vostil.log || fail "no book move from an empty folder: $output"

manual="$(zcat "$scratch/root/usr/share/man/man6/vostil.6.gz")"
warnings="$(groff -ww -man -z <<<"$manual" 2>&1 || true)"
! command -v mandoc >/dev/null 2>&1 || warnings+="$(mandoc -T lint -W warning <<<"$manual" 2>&1 || true)"
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
echo "PASSED: $(basename "$package") holds the engine, its book, the plugin and the manual page"
