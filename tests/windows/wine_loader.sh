# Sourced by the Windows tests' scripts with the 32-bit build's folder: sets `wine`, the loader
# that runs the Windows programs, and `windows`, the build it runs. Where this machine runs no
# 32-bit programs (a kernel without 32-bit support: the 32-bit loader fails with "Exec format
# error"), they are Wine's 64-bit loader and the 64-bit build beside the 32-bit one (its
# folder with 64 appended, `make windows64`): the same source and system calls, in 64 bits.
# The C++ tests' process helper makes the same choice.
wine=wine
windows="${1%/}"
WINE64_LOADER=/usr/lib/wine/wine64
if command -v wine >/dev/null 2>&1 && ! wine --version >/dev/null 2>&1 &&
   [ -x "$WINE64_LOADER" ] && [ -f "${windows}64/vostil.exe" ]; then
  wine="$WINE64_LOADER"
  windows="${windows}64"
  export WINELOADER="$WINE64_LOADER"
  echo "This machine runs no 32-bit programs: the 64-bit Windows build in $windows stands in"
fi
