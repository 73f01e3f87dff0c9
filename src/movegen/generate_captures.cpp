// The moves the quiescence search tries: captures, en passant and the queen promotion push.
//
// Piece captures and promotion pushes that the exchange estimate marks as losing (score
// below the history threshold) are not written at all; pawn captures always are, since a
// pawn cannot lose much by capturing. Order: pawn captures toward the a-file, toward the
// h-file, queen promotion pushes, knights, bishops, rooks, queens, king.
#include "movegen/generator_common.h"
#include "movegen/generators.h"

namespace vostil {

namespace {

using namespace gen;

template <PieceCode BlackCode, int Side>
inline MoveEntry* pieceCaptures(MoveEntry* list, Square from, Bitboard attacks,
                                const SliderSets& sliders) {
    for (Bitboard victims = attacks & pos.sideOccupancy[Side ^ 1]; victims; victims &= victims - 1) {
        const Square to = bitScan(victims);
        const int score = pieceCaptureScore<BlackCode, Side>(from, to, sliders);
        if (score >= ORDER_HISTORY_THRESHOLD) list = emit(list, from, to, MOVE_CAPTURE, score);
    }
    return list;
}

template <int Side>
MoveEntry* generateCapturesFor(MoveEntry* list) {
    using G = SideGeometry<Side>;
    const SliderSets sliders = sliderSets();
    const Bitboard pawns = pos.pieceBoards[pieceOf(BLACK_PAWN, Side)];

    // 1-2. Pawn captures, never filtered.
    list = pawnCaptures<Side, G::CAPTURE_TOWARD_A>(list, G::towardA(pawns));
    list = pawnCaptures<Side, G::CAPTURE_TOWARD_H>(list, G::towardH(pawns));

    // 3. Queen promotion pushes that survive the exchange on the promotion square.
    for (Bitboard b = G::forward(pawns) & ~pos.allOccupancy & G::PROMOTION_RANK; b; b &= b - 1) {
        const Square to = bitScan(b);
        const Square from = to - G::PUSH;
        const int score = staticExchange(pieceOf(BLACK_PAWN, Side), from, to, sliders.rookMovers,
                                         sliders.bishopMovers);
        if (score >= ORDER_HISTORY_THRESHOLD) list = emit(list, from, to, MOVE_PROMO_Q, score);
    }

    // 4-7. Knights, bishops, rooks, queens.
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_KNIGHT, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceCaptures<BLACK_KNIGHT, Side>(list, from, KNIGHT_ATTACKS[from], sliders);
    }
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_BISHOP, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceCaptures<BLACK_BISHOP, Side>(list, from, bishopAttacks(from), sliders);
    }
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_ROOK, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceCaptures<BLACK_ROOK, Side>(list, from, rookAttacks(from), sliders);
    }
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_QUEEN, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceCaptures<BLACK_QUEEN, Side>(list, from, queenAttacks(from), sliders);
    }

    // 8. King captures, never next to the other king.
    const Square king = pos.kingSquare[Side];
    list = pieceCaptures<BLACK_KING, Side>(
        list, king, KING_ATTACKS[king] & ~KING_ATTACKS[pos.kingSquare[Side ^ 1]], sliders);

    // 9. Settle a castled opponent.
    settleCastledOpponent<Side>();
    return list;
}

}  // namespace

const MoveGenerator GENERATE_CAPTURES[2] = {generateCapturesFor<BLACK>,
                                            generateCapturesFor<WHITE>};

}  // namespace vostil
