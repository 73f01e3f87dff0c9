// What each castling move does to the board, shared by make and unmake.
#pragma once

#include "board/position.h"
#include "board/types.h"

namespace vostil {

struct CastlingMove {
    int side;
    Square kingFrom, kingTo, rookFrom, rookTo;
    PieceCode king, rook;
    uint16_t otherRight;       // the right the move gives up besides its own
    Square otherRightKey;      // ZOBRIST[0] square of that right
    uint16_t flagsSet;         // own right, CASTLED and the short/long bit
};

// Indexed by MoveKind - MOVE_CASTLE_BK.
inline constexpr CastlingMove CASTLING_MOVES[4] = {
    {BLACK, E8, G8, H8, F8, BLACK_KING, BLACK_ROOK, RIGHT_BQ, 2, 0x128},
    {WHITE, E1, G1, H1, F1, WHITE_KING, WHITE_ROOK, RIGHT_WQ, 58, 0x45},
    {BLACK, E8, C8, A8, D8, BLACK_KING, BLACK_ROOK, RIGHT_BK, 6, 0x230},
    {WHITE, E1, C1, A1, D1, WHITE_KING, WHITE_ROOK, RIGHT_WK, 62, 0x86},
};

}  // namespace vostil
