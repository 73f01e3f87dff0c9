#!/usr/bin/env bash
# Makes sure the build and test tools are on the machine: installs them with apt-get when
# run as root, otherwise prints the apt-get line to run. Pass "match" to include the
# packages of the xboard match test.
set -euo pipefail

packages=()
command -v g++ >/dev/null 2>&1 || packages+=(g++)
command -v cmake >/dev/null 2>&1 || packages+=(cmake)
command -v make >/dev/null 2>&1 || packages+=(make)
[ -f /usr/include/gtest/gtest.h ] || packages+=(libgtest-dev)
if [ "${1:-}" = "match" ]; then
  [ -x /usr/games/xboard ] || command -v xboard >/dev/null 2>&1 || packages+=(xboard)
  [ -x /usr/games/fairymax ] || command -v fairymax >/dev/null 2>&1 || packages+=(fairymax)
  command -v Xvfb >/dev/null 2>&1 || packages+=(xvfb)
fi

[ ${#packages[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${packages[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${packages[@]}"
else
  echo "Missing packages. Run: sudo apt-get install -y ${packages[*]}" >&2
  exit 1
fi
