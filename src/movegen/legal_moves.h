// Legality of single moves in the current (search) position.
#pragma once

#include "common/types.h"

namespace vostil {

// True when m is generated in the current position and does not leave the mover's king
// attacked.
bool isLegalMove(Move m);
// The first legal move of the current position in generation order, or 0 when it has none:
// the one test behind every mate and stalemate verdict.
Move firstLegalMove();

}  // namespace vostil
