// Castling, in one place: the four castlings as rows of one table, and the few questions
// every layer asks about them (is the right usable, is there any castling state at all,
// which right does a corner square carry, settle a castled side).
#pragma once

#include "board/position.h"
#include "common/move.h"
#include "common/types.h"

namespace vostil {

struct CastlingMove {
    int side;
    Move move;
    Square kingFrom, kingTo, rookFrom, rookTo;  // the king crosses rookTo
    PieceCode king, rook;
    uint16_t right;            // the right this castling needs
    Square rightKey;           // ZOBRIST[0] square of that right (the king's destination)
    uint16_t flagsSet;         // own right, CASTLED and the short/long bit
    Bitboard between;          // must be empty
    char fenLetter;
};

namespace castling_detail {
constexpr Bitboard bit(Square s) { return Bitboard(1) << (63 - s); }
}  // namespace castling_detail

// Indexed by MoveKind - MOVE_CASTLE_BK: black short, white short, black long, white long.
inline constexpr CastlingMove CASTLING_MOVES[4] = {
    {BLACK, CASTLE_BK_MOVE, E8, G8, H8, F8, BLACK_KING, BLACK_ROOK, RIGHT_BK, G8,
     RIGHT_BK | BLACK_CASTLED | BLACK_CASTLED_SHORT, castling_detail::bit(F8) | castling_detail::bit(G8), 'k'},
    {WHITE, CASTLE_WK_MOVE, E1, G1, H1, F1, WHITE_KING, WHITE_ROOK, RIGHT_WK, G1,
     RIGHT_WK | WHITE_CASTLED | WHITE_CASTLED_SHORT, castling_detail::bit(F1) | castling_detail::bit(G1), 'K'},
    {BLACK, CASTLE_BQ_MOVE, E8, C8, A8, D8, BLACK_KING, BLACK_ROOK, RIGHT_BQ, C8,
     RIGHT_BQ | BLACK_CASTLED | BLACK_CASTLED_LONG, castling_detail::bit(B8) | castling_detail::bit(C8) | castling_detail::bit(D8), 'q'},
    {WHITE, CASTLE_WQ_MOVE, E1, C1, A1, D1, WHITE_KING, WHITE_ROOK, RIGHT_WQ, C1,
     RIGHT_WQ | WHITE_CASTLED | WHITE_CASTLED_LONG, castling_detail::bit(B1) | castling_detail::bit(C1) | castling_detail::bit(D1), 'Q'},
};
static_assert(CASTLING_MOVES[0].move == makeMoveCode(E8, G8, MOVE_CASTLE_BK));
static_assert(CASTLING_MOVES[1].move == makeMoveCode(E1, G1, MOVE_CASTLE_WK));
static_assert(CASTLING_MOVES[2].move == makeMoveCode(E8, C8, MOVE_CASTLE_BQ));
static_assert(CASTLING_MOVES[3].move == makeMoveCode(E1, C1, MOVE_CASTLE_WQ));

// The same side's other castling, whose right a castling gives up too.
constexpr int otherCastling(int index) { return index ^ 2; }
static_assert(CASTLING_MOVES[otherCastling(0)].side == BLACK && CASTLING_MOVES[otherCastling(1)].side == WHITE);

// Rows of CASTLING_MOVES by side: short, then long.
constexpr int SHORT_CASTLING[2] = {0, 1};
constexpr int LONG_CASTLING[2] = {2, 3};
// The order in which FEN writes the rights: K, Q, k, q.
constexpr int FEN_CASTLING_ORDER[4] = {1, 3, 0, 2};

constexpr uint16_t CASTLED_BIT[2] = {BLACK_CASTLED, WHITE_CASTLED};
constexpr uint16_t CASTLED_SHORT_BIT[2] = {BLACK_CASTLED_SHORT, WHITE_CASTLED_SHORT};
constexpr uint16_t SETTLE_MASK[2] = {SETTLE_BLACK_MASK, SETTLE_WHITE_MASK};
// Rights and CASTLED bits: with none of them there is nothing castling could change.
constexpr uint16_t CASTLING_STATE_MASK = 0x3F;

constexpr int castlingIndex(Move m) { return moveKind(m) - MOVE_CASTLE_BK; }
inline const CastlingMove& castlingOf(Move m) { return CASTLING_MOVES[castlingIndex(m)]; }

inline bool hasCastlingState(uint16_t flags) { return (flags & CASTLING_STATE_MASK) != 0; }

// A right counts while its bit is set and its side has not castled yet.
inline bool rightUsable(uint16_t flags, const CastlingMove& c) {
    return (flags & c.right) && !(flags & CASTLED_BIT[c.side]);
}

// The castling whose rook starts on s, or -1.
constexpr int castlingOfRookSquare(Square s) {
    for (int i = 0; i < 4; ++i)
        if (CASTLING_MOVES[i].rookFrom == s) return i;
    return -1;
}

// A side that castled in the search line: its king square is final and its rights and CASTLED
// bit go, keeping only the short/long record. The key is left alone.
inline void settleCastledSide(int side) {
    pos.kingSquare[side] =
        uint8_t((pos.castleFlags & CASTLED_SHORT_BIT[side]) ? CASTLING_MOVES[SHORT_CASTLING[side]].kingTo
                                                             : CASTLING_MOVES[LONG_CASTLING[side]].kingTo);
    pos.castleFlags &= SETTLE_MASK[side];
}

}  // namespace vostil
