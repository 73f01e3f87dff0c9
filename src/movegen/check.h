// Who gives check, and whether a move just made left the mover's king attacked.
#pragma once

#include "board/position.h"
#include "board/tables.h"

namespace vostil {

// Fills the checkers and check lines of the side to move into the record's CheckInfo.
void computeCheckInfo(PlyRecord& record);
// After makeMove: is the king of `side` (the side that moved) attacked, or for castling
// was its start or crossed square attacked, or does it end beside the enemy king?
bool isKingAttacked(Move m, int side);

// The same answer, using what the node knew before the move (`before`: its check info). Out of
// check, a move that is not the king's own and not en passant can expose the king only along
// the line through its from-square, so only that line is looked at; everything else takes the
// full test.
inline bool isKingAttacked(Move m, int side, const CheckInfo& before) {
    const Square king = pos.kingSquare[side];
    if (before.checkers || moveKind(m) == MOVE_EN_PASSANT || isCastling(m) || moveTo(m) == king)
        return isKingAttacked(m, side);
    const Bitboard from = BIT[moveFrom(m)];
    if (!(from & QUEEN_RAYS[king])) return false;
    const Bitboard* boards = pos.pieceBoards;
    const int them = side ^ 1;
    const Bitboard queens = boards[pieceOf(BLACK_QUEEN, them)];
    if (from & ROOK_RAYS[king]) {
        const Bitboard orthogonal = (boards[pieceOf(BLACK_ROOK, them)] | queens) & ROOK_RAYS[king];
        return orthogonal && (orthogonal & rookAttacks(king));
    }
    const Bitboard diagonal = (boards[pieceOf(BLACK_BISHOP, them)] | queens) & BISHOP_RAYS[king];
    return diagonal && (diagonal & bishopAttacks(king));
}

}  // namespace vostil
