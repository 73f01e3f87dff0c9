// The low key half a move will most likely give the position, known before the move is made.
#pragma once

#include "board/position.h"
#include "board/zobrist.h"
#include "common/move.h"

namespace vostil {

// The moving piece, a captured piece on the to-square and the end of the en-passant chance;
// castling rights, a new en-passant square, promotion and en-passant captures are left out.
// Only for fetching the next position's table bucket early: a wrong guess costs a wasted fetch.
inline uint32_t predictedKeyLowAfter(Move m) {
    const Square to = moveTo(m), from = moveFrom(m);
    const PieceCode piece = pos.board[from], victim = pos.board[to];
    uint64_t z = ZOBRIST[piece][from] ^ ZOBRIST[piece][to];
    if (victim) z ^= ZOBRIST[victim][to];
    if (pos.epSquare) z ^= ZOBRIST[0][pos.epSquare];
    return pos.keyLow ^ uint32_t(z);
}

}  // namespace vostil
