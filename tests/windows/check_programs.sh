#!/usr/bin/env bash
# The Windows build is what a WinBoard or Arena user copies into an engine folder: 32-bit
# console programs that need no DLL beside them (only the system's own), and the same book as
# the Linux build.
# Usage: check_programs.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -uo pipefail
linux="$1"
windows="$2"
objdump=i686-w64-mingw32-objdump
if ! command -v "$objdump" >/dev/null 2>&1 || [ ! -f "$windows/vostil.exe" ]; then
  echo "Windows tests skipped: no mingw-w64 toolchain or no Windows build in $windows"
  exit 77
fi

failed=0
for program in vostil perft bench; do
  exe="$windows/$program.exe"
  [ -f "$exe" ] || { echo "FAILED: no $program.exe"; failed=1; continue; }
  headers="$("$objdump" -p "$exe")"
  grep -q 'file format pei-i386' <<<"$headers" || { echo "FAILED: $program.exe is not 32-bit"; failed=1; }
  grep -q 'Subsystem.*(Windows CUI)' <<<"$headers" || { echo "FAILED: $program.exe is no console program"; failed=1; }
  foreign="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | grep -viE '^(kernel32|msvcrt|advapi32|user32|ntdll)\.dll$|^api-ms-win-')"
  [ -z "$foreign" ] || { echo "FAILED: $program.exe needs DLLs beside it: $foreign"; failed=1; }
done
cmp -s "$linux/Vostil.book" "$windows/Vostil.book" || { echo "FAILED: Vostil.book differs from the Linux build's"; failed=1; }
[ "$failed" -eq 0 ] && echo "PASSED: 32-bit console programs needing only system DLLs, and the book"
exit "$failed"
