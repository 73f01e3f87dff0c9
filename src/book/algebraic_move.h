// Standard algebraic notation for EPD bm/am operands.
#pragma once

#include "common/types.h"

namespace vostil {

Move parseAlgebraicMove(const char* text);
Move resolvePieceMove(const char* text, Square to, Bitboard allowed);
int promotionKindFromLetter(char c);

}  // namespace vostil
