// Reading a coordinate word (e2e4, e7e8q, e1g1) as a move of the position.
#pragma once

#include "common/types.h"

namespace vostil {

// The position fields the parser reads: the game position or the search position.
enum class MoveSource { Root, Search };
// The move a word names, with its kind taken from the position; 0 if it is not a coordinate move.
Move parseCoordinateMove(const char* word, MoveSource source);

}  // namespace vostil
