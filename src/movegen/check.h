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

// The sliders of `attacker` that move along ranks and files, and along diagonals.
inline Bitboard orthogonalSliders(int attacker) {
    return pos.pieceBoards[pieceOf(BLACK_ROOK, attacker)] | pos.pieceBoards[pieceOf(BLACK_QUEEN, attacker)];
}
inline Bitboard diagonalSliders(int attacker) {
    return pos.pieceBoards[pieceOf(BLACK_BISHOP, attacker)] | pos.pieceBoards[pieceOf(BLACK_QUEEN, attacker)];
}

// Does one of `sliders` attack s along a rank or file (a diagonal) on the current occupancy?
// The empty-board rays rule most cases out before an attack set is looked up.
inline bool attackedAlongRanksAndFiles(Square s, Bitboard sliders) {
    return (sliders & ROOK_RAYS[s]) && (sliders & rookAttacks(s));
}
inline bool attackedAlongDiagonals(Square s, Bitboard sliders) {
    return (sliders & BISHOP_RAYS[s]) && (sliders & bishopAttacks(s));
}

// The same answer as isKingAttacked, using what the node knew before the move (`before`: its
// check info). Out of check, a move that is not the king's own and not en passant can expose
// the king only along the line through its from-square, so only that line is looked at;
// everything else takes the full test.
inline bool isKingAttacked(Move m, int side, const CheckInfo& before) {
    const Square king = pos.kingSquare[side];
    if (before.checkers || moveKind(m) == MOVE_EN_PASSANT || isCastling(m) || moveTo(m) == king)
        return isKingAttacked(m, side);
    const Bitboard from = BIT[moveFrom(m)];
    if (!(from & QUEEN_RAYS[king])) return false;
    if (from & ROOK_RAYS[king]) return attackedAlongRanksAndFiles(king, orthogonalSliders(side ^ 1));
    return attackedAlongDiagonals(king, diagonalSliders(side ^ 1));
}

}  // namespace vostil
