// Static evaluation of the position, from the view of the side to move.
#pragma once

#include "common/types.h"

namespace vostil {

// Material by PieceCode: empty, then white/black pawn, knight, bishop, rook, queen, king. The
// king's value only orders its captures in the generators.
constexpr int PIECE_VALUE[13] = {0, 100, 100, 310, 310, 315, 315, 500, 500, 940, 940, 2000, 2000};

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
