// Every pseudo-legal move of the side to move when it is not in check.
//
// The emission order is part of the engine's behaviour: the search breaks ties between
// equal ordering scores by list position, so pieces and targets are always walked with
// bitScan (h1 toward a8) in the fixed order pawn captures, knights, queens, rooks, bishops,
// pawn pushes, king, castling.
#include "movegen/generator_common.h"
#include "movegen/generators.h"

namespace vostil {

namespace {

using namespace gen;

// Captures of one piece on `from`, then its moves to empty squares.
template <PieceCode BlackCode, int Side>
inline MoveEntry* pieceMoves(MoveEntry* list, Square from, Bitboard attacks,
                             const SliderSets& sliders) {
    for (Bitboard victims = attacks & pos.sideOccupancy[Side ^ 1]; victims; victims &= victims - 1) {
        const Square to = bitScan(victims);
        list = emit(list, from, to, MOVE_CAPTURE, pieceCaptureScore<BlackCode, Side>(from, to, sliders));
    }
    for (Bitboard quiet = attacks & ~pos.allOccupancy; quiet; quiet &= quiet - 1)
        list = emit(list, from, bitScan(quiet), MOVE_QUIET, SCORE_QUIET);
    return list;
}

template <int Side>
MoveEntry* generateMovesFor(MoveEntry* list) {
    using G = SideGeometry<Side>;
    const SliderSets sliders = sliderSets();
    const Bitboard pawns = pos.pieceBoards[pieceOf(BLACK_PAWN, Side)];

    // 1-2. Pawn captures toward the a-file, then toward the h-file.
    list = pawnCaptures<Side, G::CAPTURE_TOWARD_A>(list, G::towardA(pawns));
    list = pawnCaptures<Side, G::CAPTURE_TOWARD_H>(list, G::towardH(pawns));

    // 3-6. Knights, queens, rooks, bishops.
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_KNIGHT, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceMoves<BLACK_KNIGHT, Side>(list, from, KNIGHT_ATTACKS[from], sliders);
    }
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_QUEEN, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceMoves<BLACK_QUEEN, Side>(list, from, queenAttacks(from), sliders);
    }
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_ROOK, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceMoves<BLACK_ROOK, Side>(list, from, rookAttacks(from), sliders);
    }
    for (Bitboard b = pos.pieceBoards[pieceOf(BLACK_BISHOP, Side)]; b; b &= b - 1) {
        const Square from = bitScan(b);
        list = pieceMoves<BLACK_BISHOP, Side>(list, from, bishopAttacks(from), sliders);
    }

    // 7. Pawn pushes: promotions, then double steps, then single steps.
    const Bitboard empty = ~pos.allOccupancy;
    const Bitboard single = G::forward(pawns) & empty;
    for (Bitboard b = single & G::PROMOTION_RANK; b; b &= b - 1) {
        const Square to = bitScan(b);
        list = emitPromotions(list, to - G::PUSH, to, MOVE_PROMO_Q, 0);
    }
    for (Bitboard b = G::forward(single & G::DOUBLE_STEP_RANK) & empty; b; b &= b - 1) {
        const Square to = bitScan(b);
        list = emit(list, to - 2 * G::PUSH, to, MOVE_QUIET, SCORE_QUIET);
    }
    for (Bitboard b = single & ~G::PROMOTION_RANK; b; b &= b - 1) {
        const Square to = bitScan(b);
        list = emit(list, to - G::PUSH, to, MOVE_QUIET, SCORE_QUIET);
    }

    // 8. King: never next to the other king, so the legality test need not look at kings.
    const Square king = pos.kingSquare[Side];
    const Bitboard kingTargets =
        KING_ATTACKS[king] & ~KING_ATTACKS[pos.kingSquare[Side ^ 1]] & ~pos.sideOccupancy[Side];
    list = pieceMoves<BLACK_KING, Side>(list, king, kingTargets, sliders);

    // 9. Castling. Attacked squares are left to the legality test after the move is made.
    if (hasCastlingState(pos.castleFlags)) {
        settleCastledOpponent<Side>();
        for (const int i : {SHORT_CASTLING[Side], LONG_CASTLING[Side]}) {
            const CastlingMove& c = CASTLING_MOVES[i];
            if (rightUsable(pos.castleFlags, c) && !(pos.allOccupancy & c.between))
                list = emit(list, c.kingFrom, c.kingTo, moveKind(c.move),
                            i == SHORT_CASTLING[Side] ? SCORE_CASTLE_SHORT : SCORE_CASTLE_LONG);
        }
    }
    return list;
}

}  // namespace

const MoveGenerator GENERATE_MOVES[2] = {generateMovesFor<BLACK>, generateMovesFor<WHITE>};

}  // namespace vostil
