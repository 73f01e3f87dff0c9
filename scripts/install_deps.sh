#!/usr/bin/env bash
# Makes sure the build and test tools are on the machine: installs them with apt-get when
# run as root, otherwise prints the apt-get line to run. Pass "match" to include the
# packages of the xboard match tests (polyglot for the UCI one) and of the perft oracle (stockfish), "windows" those of
# the Windows build and its tests (the mingw-w64 cross compilers, 32-bit Wine, zip for the
# release archive), "deb" dpkg-dev and lintian for the Debian package, "fuzz" for clang and its
# fuzzer runtime.
set -euo pipefail

packages=()
command -v g++ >/dev/null 2>&1 || packages+=(g++)
command -v cmake >/dev/null 2>&1 || packages+=(cmake)
command -v make >/dev/null 2>&1 || packages+=(make)
[ -f /usr/include/gtest/gtest.h ] || packages+=(libgtest-dev)
# The match test's and the oracle's packages are optional for a developer without root: the test reports
# itself skipped when they are missing.
optional=()
if [ "${1:-}" = "match" ]; then
  [ -x /usr/games/xboard ] || command -v xboard >/dev/null 2>&1 || optional+=(xboard)
  [ -x /usr/games/fairymax ] || command -v fairymax >/dev/null 2>&1 || optional+=(fairymax)
  command -v Xvfb >/dev/null 2>&1 || optional+=(xvfb)
  [ -x /usr/games/stockfish ] || command -v stockfish >/dev/null 2>&1 || optional+=(stockfish)
  # The adapter through which xboard plays a UCI engine.
  [ -x /usr/games/polyglot ] || command -v polyglot >/dev/null 2>&1 || optional+=(polyglot)
fi
i386=no
if [ "${1:-}" = "windows" ]; then
  command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || optional+=(g++-mingw-w64-i686-posix)
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || optional+=(g++-mingw-w64-x86-64-posix)
  command -v wine >/dev/null 2>&1 || optional+=(wine)
  # Where the machine runs no 32-bit programs, the 64-bit loader runs the 64-bit build.
  [ -x /usr/lib/wine/wine64 ] || optional+=(wine64)
  # The 32-bit programs need the 32-bit Wine loader, from the i386 architecture.
  if [ ! -x /usr/lib/wine/wine ]; then
    optional+=(wine32:i386)
    i386=yes
  fi
  command -v zip >/dev/null 2>&1 || optional+=(zip)
  command -v unzip >/dev/null 2>&1 || optional+=(unzip)
fi
# The Debian package: dpkg-dev packs it, lintian checks it.
if [ "${1:-}" = "deb" ]; then
  command -v dpkg-shlibdeps >/dev/null 2>&1 || optional+=(dpkg-dev)
  command -v lintian >/dev/null 2>&1 || optional+=(lintian)
fi
if [ "${1:-}" = "fuzz" ]; then
  command -v clang++ >/dev/null 2>&1 || optional+=(clang)
  # libFuzzer comes with the runtime package of the clang version that "clang" stands for.
  version="$( (clang++ --version 2>/dev/null || true) | sed -n 's/.*clang version \([0-9]*\).*/\1/p')"
  [ -n "$version" ] || version="$( (apt-cache depends clang 2>/dev/null || true) |
    sed -n 's/.*Depends: clang-\([0-9]*\)$/\1/p' | head -1)"
  if [ -n "$version" ] && ! ls /usr/lib/llvm-"$version"/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a \
      >/dev/null 2>&1; then
    optional+=("libclang-rt-$version-dev")
  fi
fi

[ $((${#packages[@]} + ${#optional[@]})) -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${packages[*]} ${optional[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [ "$i386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq "${packages[@]}" "${optional[@]}"
elif [ ${#packages[@]} -gt 0 ]; then
  echo "Missing packages. Run: sudo apt-get install -y ${packages[*]} ${optional[*]}" >&2
  exit 1
else
  if [ "${1:-}" = "windows" ]; then
    first=""
    [ "$i386" = yes ] && first="sudo dpkg --add-architecture i386 && sudo apt-get update && "
    echo "The Windows tests will be skipped. To run them: ${first}sudo apt-get install -y ${optional[*]}" >&2
  else
    echo "The tests that need them will be skipped. To run them: sudo apt-get install -y ${optional[*]}" >&2
  fi
fi
