// Who checks the side to move, and whether a move just made left the mover's king attacked.
//
// Both run at every node or after every move, so a sliding attack set is computed only after
// the empty-board rays show that an enemy slider could reach the square at all. The enemy king
// matters only for castling: the generators keep every other king step away from it.
#include "board/castling.h"
#include "board/tables.h"
#include "movegen/check.h"

namespace vostil {

namespace {

// Is square s attacked by a piece of `attacker` on the current occupancy? Knights, pawns,
// orthogonal sliders, then diagonal sliders.
inline bool squareAttackedBy(Square s, int attacker) {
    const Bitboard* boards = pos.pieceBoards;
    if (KNIGHT_ATTACKS[s] & boards[pieceOf(BLACK_KNIGHT, attacker)]) return true;
    // An enemy pawn attacks s from where a pawn of the defending side on s would attack.
    if (PAWN_ATTACKS[attacker ^ 1][s] & boards[pieceOf(BLACK_PAWN, attacker)]) return true;

    const Bitboard orthogonal = orthogonalSliders(attacker), diagonal = diagonalSliders(attacker);
    if (!((orthogonal | diagonal) & QUEEN_RAYS[s])) return false;
    return attackedAlongRanksAndFiles(s, orthogonal) || attackedAlongDiagonals(s, diagonal);
}

}  // namespace

void computeCheckInfo(PlyRecord& record) {
    CheckInfo& info = record.checkInfo;
    const int us = pos.sideToMove, them = us ^ 1;
    const Square king = pos.kingSquare[us];
    const Bitboard* boards = pos.pieceBoards;
    const Bitboard queens = boards[pieceOf(BLACK_QUEEN, them)];
    const Bitboard orthogonal = boards[pieceOf(BLACK_ROOK, them)] | queens;
    const Bitboard diagonal = boards[pieceOf(BLACK_BISHOP, them)] | queens;

    Bitboard checkers = 0;
    if ((orthogonal | diagonal) & QUEEN_RAYS[king]) {
        if (orthogonal & ROOK_RAYS[king]) {
            info.orthogonalLines = rookAttacks(king);
            checkers = info.orthogonalLines & orthogonal;
        }
        if (diagonal & BISHOP_RAYS[king]) {
            // The evasion generator tells a rank or file check by a non-empty orthogonalLines.
            if (!checkers) info.orthogonalLines = 0;
            info.diagonalLines = bishopAttacks(king);
            checkers |= info.diagonalLines & diagonal;
        }
    }
    checkers |= KNIGHT_ATTACKS[king] & boards[pieceOf(BLACK_KNIGHT, them)];
    checkers |= PAWN_ATTACKS[us][king] & boards[pieceOf(BLACK_PAWN, them)];
    info.checkers = checkers;
}

bool isKingAttacked(Move m, int side) {
    const int attacker = side ^ 1;
    if (squareAttackedBy(pos.kingSquare[side], attacker)) return true;
    if (!isCastling(m)) return false;
    // The king may not castle out of check, across an attacked square, nor next to the enemy
    // king; its destination was tested above against everything but that king.
    const CastlingMove& c = castlingOf(m);
    const Square enemyKing = pos.kingSquare[attacker];
    if (enemyKing < 64 &&
        ((KING_ATTACKS[c.kingFrom] | KING_ATTACKS[c.rookTo] | KING_ATTACKS[c.kingTo]) & BIT[enemyKing]))
        return true;
    return squareAttackedBy(c.kingFrom, attacker) || squareAttackedBy(c.rookTo, attacker);
}

}  // namespace vostil
