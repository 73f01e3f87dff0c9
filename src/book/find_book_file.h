// Where a new game's book is read from.
#pragma once

#include <string>

namespace vostil {

// The first "Vostil.book" that exists of: the current folder's; the installed data folder's,
// <program folder>/../share/vostil/ (what `make install` lays out), else
// <program folder>/../share/games/vostil/ (the Debian package: /usr/games and
// /usr/share/games/vostil); the one beside the program (the Windows archive). When none
// exists, the current folder's name, so that the load fails as it always has.
std::string findBookFile();

}  // namespace vostil
