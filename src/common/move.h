// The 16-bit move encoding, the ordered move-list entry and the shared move stack.
#pragma once

#include "common/types.h"

namespace vostil {

enum MoveKind : int {
    MOVE_QUIET = 0,
    MOVE_CAPTURE = 1,
    MOVE_EN_PASSANT = 2,
    MOVE_RESULT = 3,
    MOVE_PROMO_Q = 4,
    MOVE_PROMO_N = 5,
    MOVE_PROMO_R = 6,
    MOVE_PROMO_B = 7,
    MOVE_PROMO_CAPTURE_Q = 8,
    MOVE_PROMO_CAPTURE_N = 9,
    MOVE_PROMO_CAPTURE_R = 10,
    MOVE_PROMO_CAPTURE_B = 11,
    MOVE_CASTLE_BK = 12,
    MOVE_CASTLE_WK = 13,
    MOVE_CASTLE_BQ = 14,
    MOVE_CASTLE_WQ = 15,
};

// Reserved result codes: never generated, never made.
constexpr Move RESULT_MATED = 0x3000;
constexpr Move RESULT_STALEMATE = 0x3041;
constexpr Move RESULT_REPETITION = 0x3082;

// Castling moves carry the king's squares.
constexpr Move CASTLE_WK_MOVE = 0xDF3E;
constexpr Move CASTLE_WQ_MOVE = 0xFF3A;
constexpr Move CASTLE_BK_MOVE = 0xC106;
constexpr Move CASTLE_BQ_MOVE = 0xE102;
// By kind - MOVE_CASTLE_BK.
constexpr Move CASTLE_MOVE_OF_KIND[4] = {CASTLE_BK_MOVE, CASTLE_WK_MOVE, CASTLE_BQ_MOVE, CASTLE_WQ_MOVE};

constexpr Square moveTo(Move m) { return m & 63; }
constexpr Square moveFrom(Move m) { return (m >> 6) & 63; }
constexpr int moveKind(Move m) { return m >> 12; }
constexpr Move makeMoveCode(Square from, Square to, int kind) {
    return Move((kind << 12) | (from << 6) | to);
}
constexpr bool isCastling(Move m) { return moveKind(m) >= MOVE_CASTLE_BK; }

// Ordering score in the low half, move in the high half: one 32-bit word.
struct MoveEntry {
    OrderScore score;
    Move move;
};
static_assert(sizeof(MoveEntry) == 4, "a move entry is one 32-bit word");

// Every ply's list fits in 256 entries, so the stack holds 72 full plies.
constexpr int MAX_MOVES_PER_PLY = 256;
constexpr int MOVE_STACK_SIZE = MAX_MOVES_PER_PLY * 72;

// All plies share this stack; its first entry is also the SearchResult.
extern MoveEntry MoveStack[MOVE_STACK_SIZE];

}  // namespace vostil
