#!/usr/bin/env bash
# Packs a build made before as the Debian package OUT_DIR/vostil_<version>_<arch>.deb, laid out
# as Debian's own chess engines are:
#   /usr/games/vostil                            the engine, stripped
#   /usr/share/games/vostil/Vostil.book          its book (the engine looks in ../share/games/vostil)
#   /usr/share/games/plugins/xboard/vostil.eng   xboard's engine list (dated at installation by
#   /usr/share/games/plugins/logos/vostil.png    data/postinst), with the logo
#   /usr/share/man/man6/vostil.6.gz              the manual page
#   /usr/share/doc/vostil/copyright, changelog.gz
#   /usr/share/lintian/overrides/vostil          why the engine is not position-independent
# The version is the one the engine was built with (scripts/find_version.sh's), made a Debian
# version: a leading "v" of a tag dropped, "0~" put before anything but a release number such
# as 1.2 (so that a commit hash, which git describe gives without a tag, or unknown-<date>
# sorts before every release), "-" and "_" read as "+". The maintainer is $MAINTAINER, else
# "$DEBFULLNAME <$DEBEMAIL>", else git's user. Needs dpkg-dev; lintian, when installed,
# checks the package and fails the script on an error.
# Usage: make_deb.sh BUILD_DIR OUT_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
cd "$(dirname "$0")/.."
for tool in dpkg-deb dpkg-shlibdeps dpkg-architecture; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing: sudo apt-get install -y dpkg-dev" >&2; exit 1; }
done
for file in "$build/vostil" "$build/Vostil.book"; do
  [ -f "$file" ] || { echo "no $file: build the engine and its book first (make engine)" >&2; exit 1; }
done

# The engine's own word for its version, so that the two never differ.
upstream="$("$build/vostil" --version)"
upstream="${upstream#Vostil }"
version="$upstream"
[[ "$version" =~ ^v[0-9] ]] && version="${version#v}"
[[ "$version" =~ ^[0-9]+\.[0-9] ]] || version="0~$version"
version="${version//[-_]/+}"
arch="$(dpkg-architecture -qDEB_HOST_ARCH)"
maintainer="${MAINTAINER:-}"
[ -n "$maintainer" ] || [ -z "${DEBEMAIL:-}" ] || maintainer="${DEBFULLNAME:-Vostil developers} <$DEBEMAIL>"
[ -n "$maintainer" ] || maintainer="$(git config user.name 2>/dev/null || true) <$(git config user.email 2>/dev/null || true)>"
[[ "$maintainer" =~ ^[^\<]*[^\ \<][^\<]*\ \<[^@\>]+@[^@\>]+\>$ ]] ||
  { echo "no maintainer: set MAINTAINER=\"Name <address>\" (or DEBFULLNAME and DEBEMAIL)" >&2; exit 1; }

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
doc="$root/usr/share/doc/vostil"
install -d -m 0755 "$root/DEBIAN" "$root/usr/games" "$root/usr/share/games/vostil" \
  "$root/usr/share/games/plugins/xboard" "$root/usr/share/games/plugins/logos" \
  "$root/usr/share/man/man6" "$root/usr/share/lintian/overrides" "$doc"
install -m 0755 "$build/vostil" "$root/usr/games/vostil"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/games/vostil"
install -m 0644 "$build/Vostil.book" "$root/usr/share/games/vostil/Vostil.book"
# The command as Debian's engines give it: xboard lists the engine under it, and /usr/games
# is on every user's PATH.
printf 'plugin spec 0.0\nvostil\nchess\n' > "$root/usr/share/games/plugins/xboard/vostil.eng"
install -m 0644 data/vostil.png "$root/usr/share/games/plugins/logos/vostil.png"
gzip -9n < docs/vostil.6 > "$root/usr/share/man/man6/vostil.6.gz"
install -m 0644 data/copyright "$doc/copyright"
install -m 0644 data/lintian-overrides "$root/usr/share/lintian/overrides/vostil"
printf 'vostil (%s) unstable; urgency=medium\n\n  * Vostil %s.\n\n -- %s  %s\n' \
  "$version" "$upstream" "$maintainer" "$(date -R)" | gzip -9n > "$doc/changelog.gz"
chmod 0644 "$root/usr/share/games/plugins/xboard/vostil.eng" "$root/usr/share/man/man6/vostil.6.gz" \
  "$doc/changelog.gz"

# dpkg-shlibdeps reads the libraries' symbols files from a source package's layout.
mkdir -p "$scratch/src/debian"
printf 'Source: vostil\n\nPackage: vostil\nArchitecture: any\n' > "$scratch/src/debian/control"
depends="$(cd "$scratch/src" && dpkg-shlibdeps -O -e"$root/usr/games/vostil" | sed -n 's/^shlibs:Depends=//p')"
cat > "$root/DEBIAN/control" <<EOF
Package: vostil
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Suggests: xboard | pychess | scid
Section: games
Priority: optional
Description: chess engine for xboard and UCI interfaces
 Vostil is a chess engine that speaks the xboard protocol (version 2) and
 UCI, so that graphical interfaces such as xboard, pychess, scid, chessx or
 cutechess can play against it or have it analyse. It searches with
 iterative deepening and alpha-beta on rotated bitboards, plays from its own
 opening book and writes a text log of each game.
 .
 The package adds it to xboard's list of engines, with its logo.
EOF
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) > "$root/DEBIAN/md5sums"
install -m 0755 data/postinst "$root/DEBIAN/postinst"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

package="$out/vostil_${version}_$arch.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
if command -v lintian >/dev/null 2>&1; then
  lintian --fail-on error "$package"
fi
echo "Wrote $package"
