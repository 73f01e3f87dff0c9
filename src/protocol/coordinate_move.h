// Coordinate move text (e2e4, e7e8q) in both directions.
#pragma once

#include "board/types.h"

namespace vostil {

// Writes the text and a terminating zero (buffer of at least 6 bytes); returns the zero's
// position so callers can append.
char* formatCoordinateMove(char* out, Move m);

// The position fields the parser reads: the game position or the search position.
enum class MoveSource { Root, Search };
// The move a word names, with its kind taken from the position; 0 if it is not a coordinate move.
Move parseCoordinateMove(const char* word, MoveSource source);

// True when m is legal in the current (search) position: generated and not leaving the
// mover's king attacked.
bool isLegalMove(Move m);
// The first legal move of the current position in generation order, or 0 when it has none:
// the one test behind every mate and stalemate verdict.
Move firstLegalMove();

}  // namespace vostil
