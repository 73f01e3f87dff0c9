// Static evaluation of the position, from the view of the side to move.
#pragma once

#include <cassert>

#include "board/position.h"
#include "board/tables.h"
#include "common/types.h"
#include "eval/piece_square_tables.h"

namespace vostil {

// Material by PieceCode: empty, then white/black pawn, knight, bishop, rook, queen, king. The
// king's value only orders its captures in the generators.
constexpr int PIECE_VALUE[13] = {0, 100, 100, 310, 310, 315, 315, 500, 500, 940, 940, 2000, 2000};

constexpr int PAWN_CACHE_SIZE = 1 << 18;
extern uint32_t pawnCache[PAWN_CACHE_SIZE];
// While set, the cache is read and nothing is written into it.
extern bool pawnCacheFrozen;

// No static value reaches this far: beyond it lie the mate scores and the illegal-move mark,
// and a lopsided army (nine queens) would otherwise pass for one of them.
constexpr int EVAL_LIMIT = 8000;

// Static value for the side to move, within [-EVAL_LIMIT, EVAL_LIMIT].
Score evaluate();
// PHASE_TABLE selector by PieceCode: 0 kings, 1 pawns, 2 knights, 3 bishops, 4 rooks, 5 queens.
constexpr int SELECTOR_OF_CODE[13] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 0, 0};

// Piece-square value of a code on a square at the current stage (no turn for black codes).
// Inline: the exchange scores of the move generators ask for it with every capture.
inline int pieceSquareValue(PieceCode code, Square s) {
    assert(code >= WHITE_PAWN && code <= BLACK_KING);
    return PHASE_TABLE[SELECTOR_OF_CODE[code]][phaseIndex(pos.totalMaterial)][s];
}
void clearPawnCache();

}  // namespace vostil
