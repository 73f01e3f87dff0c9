// The 16-bit move encoding, the ordered move-list entry and the shared move stack.
#pragma once

#include "board/types.h"

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

constexpr Square moveTo(Move m) { return m & 63; }
constexpr Square moveFrom(Move m) { return (m >> 6) & 63; }
constexpr int moveKind(Move m) { return m >> 12; }
constexpr Move makeMoveCode(Square from, Square to, int kind) {
    return Move((kind << 12) | (from << 6) | to);
}
constexpr bool isCastling(Move m) { return m >= 0xC000; }

// Ordering score in the low half, move in the high half: one 32-bit word.
struct MoveEntry {
    OrderScore score;
    Move move;
};
static_assert(sizeof(MoveEntry) == 4, "a move entry is one 32-bit word");

// Piece values for ordering and exchange evaluation, by PieceCode.
extern const int PIECE_VALUE[13];

// Ordering scores of the generators.
constexpr int SCORE_QUIET = -30000;
constexpr int SCORE_CASTLE_SHORT = -29000;
constexpr int SCORE_CASTLE_LONG = -29500;
constexpr int SCORE_EN_PASSANT = -9500;
constexpr int SCORE_PAWN_CAPTURE_BASE = -9600;
// Queen, knight, rook, bishop: pushes score this, capturing promotions victim value plus this.
constexpr int SCORE_PROMOTION[4] = {-9401, -30005, -30025, -30050};
// Captures that cannot lose more than 50: victim value plus this, by attacker.
constexpr int SCORE_KNIGHT_CAPTURE_BASE = -9810;
constexpr int SCORE_BISHOP_CAPTURE_BASE = -9815;
constexpr int SCORE_ROOK_CAPTURE_BASE = -10000;
constexpr int SCORE_QUEEN_CAPTURE_BASE = -10440;
constexpr int SCORE_KING_CAPTURE_BASE = -11500;
// Interpositions in check evasions, by piece.
constexpr int SCORE_KNIGHT_INTERPOSE = -30310;
constexpr int SCORE_BISHOP_INTERPOSE = -30315;
constexpr int SCORE_ROOK_INTERPOSE = -30500;
constexpr int SCORE_QUEEN_INTERPOSE = -30940;
// Entries below this are ordered by history counters.
constexpr int ORDER_HISTORY_THRESHOLD = -10000;

// Every ply's list fits in 256 entries, so the stack holds 72 full plies.
constexpr int MAX_MOVES_PER_PLY = 256;
constexpr int MOVE_STACK_SIZE = MAX_MOVES_PER_PLY * 72;

// All plies share this stack; its first entry is also the SearchResult.
extern MoveEntry MoveStack[MOVE_STACK_SIZE];

}  // namespace vostil
