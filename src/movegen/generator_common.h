// Pieces shared by the three generators: board masks, side geometry, list writing, the
// capture scores of pieces and the settling of a side that has just castled.
// Private to the generators; nothing outside src/movegen includes it.
#pragma once

#include "board/castling.h"
#include "board/position.h"
#include "board/tables.h"
#include "common/move.h"
#include "eval/evaluate.h"
#include "movegen/order_scores.h"
#include "movegen/static_exchange.h"

namespace vostil::gen {

// Square s is bit 63 - s, so a8 is the top bit and row 0 (the eighth rank) the top byte.
constexpr Bitboard RANK_8_MASK = 0xFF00000000000000ULL;
constexpr Bitboard RANK_6_MASK = 0x0000FF0000000000ULL;
constexpr Bitboard RANK_3_MASK = 0x0000000000FF0000ULL;
constexpr Bitboard RANK_1_MASK = 0x00000000000000FFULL;
constexpr Bitboard FILE_A_MASK = 0x8080808080808080ULL;
constexpr Bitboard FILE_H_MASK = 0x0101010101010101ULL;

// A capture whose victim is worth at least the attacker minus this cannot lose more than
// this by the victim's value alone, so it is scored without exchange analysis.
constexpr int EXCHANGE_MARGIN = 50;

// Everything that differs between the white and the black generators, in one place.
template <int Side>
struct SideGeometry;

template <>
struct SideGeometry<WHITE> {
    // Signed step of a pawn push in square numbers (white moves toward a8).
    static constexpr int PUSH = -8;
    // to - from of the capture toward the a-file and toward the h-file.
    static constexpr int CAPTURE_TOWARD_A = -9;
    static constexpr int CAPTURE_TOWARD_H = -7;
    static constexpr Bitboard PROMOTION_RANK = RANK_8_MASK;
    // Single-step targets on this rank may step once more.
    static constexpr Bitboard DOUBLE_STEP_RANK = RANK_3_MASK;
    static Bitboard forward(Bitboard b) { return b << 8; }
    static Bitboard towardA(Bitboard pawns) { return (pawns & ~FILE_A_MASK) << 9; }
    static Bitboard towardH(Bitboard pawns) { return (pawns & ~FILE_H_MASK) << 7; }
};

template <>
struct SideGeometry<BLACK> {
    static constexpr int PUSH = 8;
    static constexpr int CAPTURE_TOWARD_A = 7;
    static constexpr int CAPTURE_TOWARD_H = 9;
    static constexpr Bitboard PROMOTION_RANK = RANK_1_MASK;
    static constexpr Bitboard DOUBLE_STEP_RANK = RANK_6_MASK;
    static Bitboard forward(Bitboard b) { return b >> 8; }
    static Bitboard towardA(Bitboard pawns) { return (pawns & ~FILE_A_MASK) >> 7; }
    static Bitboard towardH(Bitboard pawns) { return (pawns & ~FILE_H_MASK) >> 9; }
};

inline MoveEntry* emit(MoveEntry* list, Square from, Square to, int kind, int score) {
    list->score = OrderScore(score);
    list->move = makeMoveCode(from, to, kind);
    return list + 1;
}

// The four promotions of one pawn move, queen first. Base is MOVE_PROMO_Q for pushes and
// MOVE_PROMO_CAPTURE_Q for captures; victimValue is 0 for pushes.
inline MoveEntry* emitPromotions(MoveEntry* list, Square from, Square to, int baseKind,
                                 int victimValue) {
    for (int choice = 0; choice < 4; ++choice)
        list = emit(list, from, to, baseKind + choice, victimValue + SCORE_PROMOTION[choice]);
    return list;
}

// The pieces that slide along ranks and files, and along diagonals, of both colours:
// what staticExchange needs to find attackers behind attackers.
struct SliderSets {
    Bitboard rookMovers;
    Bitboard bishopMovers;
};

inline SliderSets sliderSets() {
    const Bitboard queens = pos.pieceBoards[WHITE_QUEEN] | pos.pieceBoards[BLACK_QUEEN];
    return {pos.pieceBoards[WHITE_ROOK] | pos.pieceBoards[BLACK_ROOK] | queens,
            pos.pieceBoards[WHITE_BISHOP] | pos.pieceBoards[BLACK_BISHOP] | queens};
}

// Ordering base of a safe capture by each kind of piece (victim value is added).
template <PieceCode BlackCode>
constexpr int captureBase() {
    if constexpr (BlackCode == BLACK_KNIGHT) return SCORE_KNIGHT_CAPTURE_BASE;
    else if constexpr (BlackCode == BLACK_BISHOP) return SCORE_BISHOP_CAPTURE_BASE;
    else if constexpr (BlackCode == BLACK_ROOK) return SCORE_ROOK_CAPTURE_BASE;
    else if constexpr (BlackCode == BLACK_QUEEN) return SCORE_QUEEN_CAPTURE_BASE;
    else {
        static_assert(BlackCode == BLACK_KING, "captures by pawns are scored elsewhere");
        return SCORE_KING_CAPTURE_BASE;
    }
}

// Score of a capture by a piece (not a pawn): cheap when the victim is worth about as much
// as the attacker, otherwise the exchange on the target square decides.
template <PieceCode BlackCode, int Side>
inline int pieceCaptureScore(Square from, Square to, const SliderSets& sliders) {
    constexpr PieceCode attacker = pieceOf(BlackCode, Side);
    const int victimValue = PIECE_VALUE[pos.board[to]];
    if (victimValue >= PIECE_VALUE[attacker] - EXCHANGE_MARGIN)
        return victimValue + captureBase<BlackCode>();
    return staticExchange(attacker, from, to, sliders.rookMovers, sliders.bishopMovers);
}

// When the opponent castled on the previous move, its side is settled before our castling
// tests read the flags. The key is left alone: the rights were accounted for when the
// castling move was made.
template <int Side>
inline void settleCastledOpponent() {
    if (pos.castleFlags & CASTLED_BIT[Side ^ 1]) settleCastledSide(Side ^ 1);
}

// Pawn captures in one direction (Delta = to - from): en passant first, then captures onto
// the last rank with their four promotions, then the plain captures. Shared by the full and
// the capture generator, which treat pawn captures identically.
template <int Side, int Delta>
inline MoveEntry* pawnCaptures(MoveEntry* list, Bitboard targets) {
    using G = SideGeometry<Side>;
    const Square ep = pos.epSquare;
    if (ep != 0 && (targets & BIT[ep])) list = emit(list, ep - Delta, ep, MOVE_EN_PASSANT, SCORE_EN_PASSANT);

    Bitboard victims = targets & pos.sideOccupancy[Side ^ 1];
    for (Bitboard promoting = victims & G::PROMOTION_RANK; promoting; promoting &= promoting - 1) {
        const Square to = bitScan(promoting);
        list = emitPromotions(list, to - Delta, to, MOVE_PROMO_CAPTURE_Q, PIECE_VALUE[pos.board[to]]);
    }
    for (victims &= ~G::PROMOTION_RANK; victims; victims &= victims - 1) {
        const Square to = bitScan(victims);
        list = emit(list, to - Delta, to, MOVE_CAPTURE,
                    PIECE_VALUE[pos.board[to]] + SCORE_PAWN_CAPTURE_BASE);
    }
    return list;
}

}  // namespace vostil::gen
