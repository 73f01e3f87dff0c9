// Static evaluation of the position, from the view of the side to move.
#pragma once

#include "board/types.h"

namespace vostil {

constexpr int PAWN_CACHE_SIZE = 1 << 18;
extern uint32_t pawnCache[PAWN_CACHE_SIZE];

// No static value reaches this far: beyond it lie the mate scores and the illegal-move mark,
// and a lopsided army (nine queens) would otherwise pass for one of them.
constexpr int EVAL_LIMIT = 8000;

// Static value for the side to move, within [-EVAL_LIMIT, EVAL_LIMIT].
Score evaluate();
// Piece-square value of a code on a square at the current stage (no turn for black codes).
int pieceSquareValue(PieceCode code, Square s);
void clearPawnCache();

}  // namespace vostil
