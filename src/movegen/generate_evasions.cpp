// Answers to a check: captures of the checker, interpositions on the check line and king
// steps. The list is pseudo-legal (pinned pieces and king steps onto attacked squares are
// left to the legality test), but nothing that cannot possibly answer the check is written,
// which keeps nodes in check cheap.
//
// Order: en passant, pawn, knight, bishop, rook and queen captures of the checker, each
// piece kind followed by its interpositions, pawn interpositions, then king steps.
#include "movegen/generator_common.h"
#include "movegen/generators.h"

namespace vostil {

namespace {

using namespace gen;

// Captures of the checker by the sliders of one kind, then their interpositions. The
// empty-board rays are tested first so that the sliding attack sets are only computed
// when a piece could reach the square at all.
template <int Kind>
struct SliderEvasion;

template <>
struct SliderEvasion<BLACK_BISHOP> {
    static Bitboard rays(Square s) { return BISHOP_RAYS[s]; }
    static Bitboard attacks(Square s) { return bishopAttacks(s); }
    static constexpr int CAPTURE_BASE = SCORE_BISHOP_CAPTURE_BASE;
    static constexpr int INTERPOSE = SCORE_BISHOP_INTERPOSE;
};
template <>
struct SliderEvasion<BLACK_ROOK> {
    static Bitboard rays(Square s) { return ROOK_RAYS[s]; }
    static Bitboard attacks(Square s) { return rookAttacks(s); }
    static constexpr int CAPTURE_BASE = SCORE_ROOK_CAPTURE_BASE;
    static constexpr int INTERPOSE = SCORE_ROOK_INTERPOSE;
};
template <>
struct SliderEvasion<BLACK_QUEEN> {
    static Bitboard rays(Square s) { return QUEEN_RAYS[s]; }
    static Bitboard attacks(Square s) { return queenAttacks(s); }
    static constexpr int CAPTURE_BASE = SCORE_QUEEN_CAPTURE_BASE;
    static constexpr int INTERPOSE = SCORE_QUEEN_INTERPOSE;
};

template <int BlackCode, int Side>
inline MoveEntry* sliderEvasions(MoveEntry* list, Square checker, int checkerValue,
                                 Bitboard interpose) {
    using S = SliderEvasion<BlackCode>;
    const Bitboard pieces = pos.pieceBoards[pieceOf(PieceCode(BlackCode), Side)];
    if (pieces & S::rays(checker)) {
        for (Bitboard b = S::attacks(checker) & pieces; b; b &= b - 1)
            list = emit(list, bitScan(b), checker, MOVE_CAPTURE, checkerValue + S::CAPTURE_BASE);
    }
    if (interpose) {
        for (Bitboard b = pieces; b; b &= b - 1) {
            const Square from = bitScan(b);
            if (!(S::rays(from) & interpose)) continue;
            for (Bitboard t = S::attacks(from) & interpose; t; t &= t - 1)
                list = emit(list, from, bitScan(t), MOVE_QUIET, S::INTERPOSE);
        }
    }
    return list;
}

// A pawn capturing the checker: four promotions on the last rank, else one capture.
template <int Side>
inline MoveEntry* pawnTakesChecker(MoveEntry* list, Square from, Square checker, int checkerValue) {
    if (BIT[checker] & SideGeometry<Side>::PROMOTION_RANK)
        return emitPromotions(list, from, checker, MOVE_PROMO_CAPTURE_Q, checkerValue);
    return emit(list, from, checker, MOVE_CAPTURE, checkerValue + SCORE_PAWN_CAPTURE_BASE);
}

template <int Side>
MoveEntry* generateEvasionsFor(MoveEntry* list, const CheckInfo& info) {
    using G = SideGeometry<Side>;
    constexpr PieceCode ownPawn = pieceOf(BLACK_PAWN, Side);
    const Square king = pos.kingSquare[Side];
    const Bitboard checkers = info.checkers;
    Bitboard interpose = 0;

    // 1. In double check only the king can move.
    if (!(checkers & (checkers - 1))) {
        // 2. The squares strictly between king and a distant sliding checker.
        const Square checker = bitScan(checkers);
        const PieceCode checkerPiece = pos.board[checker];
        const int checkerValue = PIECE_VALUE[checkerPiece];
        const bool slider = checkerPiece >= WHITE_BISHOP && checkerPiece <= BLACK_QUEEN;
        if (slider && !(KING_ATTACKS[king] & BIT[checker])) {
            interpose = info.orthogonalLines ? info.orthogonalLines & rookAttacks(checker)
                                             : info.diagonalLines & bishopAttacks(checker);
        }

        // 3. En passant, when the checker is the pawn that has just stepped twice.
        const Square ep = pos.epSquare;
        if constexpr (Side == WHITE) {
            if (ep != 0 && checker == ep + 8) {
                if (ep > A6 && pos.board[ep + 7] == ownPawn)
                    list = emit(list, ep + 7, ep, MOVE_EN_PASSANT, SCORE_EN_PASSANT);
                if (ep < H6 && pos.board[ep + 9] == ownPawn)
                    list = emit(list, ep + 9, ep, MOVE_EN_PASSANT, SCORE_EN_PASSANT);
            }
        } else {
            if (ep != 0 && checker == ep - 8) {
                if (ep > A3 && pos.board[ep - 9] == ownPawn)
                    list = emit(list, ep - 9, ep, MOVE_EN_PASSANT, SCORE_EN_PASSANT);
                if (ep < H3 && pos.board[ep - 7] == ownPawn)
                    list = emit(list, ep - 7, ep, MOVE_EN_PASSANT, SCORE_EN_PASSANT);
            }
        }

        // 4. Pawn captures of the checker, the lower-numbered pawn square first.
        const Bitboard pawnCapturers = PAWN_ATTACKS[Side ^ 1][checker] & pos.pieceBoards[ownPawn];
        if (pawnCapturers) {
            const Square high = bitScan(pawnCapturers);
            const Bitboard low = pawnCapturers & (pawnCapturers - 1);
            if (low) list = pawnTakesChecker<Side>(list, bitScan(low), checker, checkerValue);
            list = pawnTakesChecker<Side>(list, high, checker, checkerValue);
        }

        // 5. Knights.
        const Bitboard knights = pos.pieceBoards[pieceOf(BLACK_KNIGHT, Side)];
        for (Bitboard b = KNIGHT_ATTACKS[checker] & knights; b; b &= b - 1)
            list = emit(list, bitScan(b), checker, MOVE_CAPTURE, checkerValue + SCORE_KNIGHT_CAPTURE_BASE);
        if (interpose) {
            for (Bitboard b = knights; b; b &= b - 1) {
                const Square from = bitScan(b);
                for (Bitboard t = KNIGHT_ATTACKS[from] & interpose; t; t &= t - 1)
                    list = emit(list, from, bitScan(t), MOVE_QUIET, SCORE_KNIGHT_INTERPOSE);
            }
        }

        // 6-8. Bishops, rooks, queens.
        list = sliderEvasions<BLACK_BISHOP, Side>(list, checker, checkerValue, interpose);
        list = sliderEvasions<BLACK_ROOK, Side>(list, checker, checkerValue, interpose);
        list = sliderEvasions<BLACK_QUEEN, Side>(list, checker, checkerValue, interpose);

        // 8a-c. Pawn interpositions: double steps, promotions, single steps.
        if (interpose) {
            const Bitboard single = G::forward(pos.pieceBoards[ownPawn]) & ~pos.allOccupancy;
            for (Bitboard b = G::forward(single & G::DOUBLE_STEP_RANK) & interpose; b; b &= b - 1) {
                const Square to = bitScan(b);
                list = emit(list, to - 2 * G::PUSH, to, MOVE_QUIET, SCORE_QUIET);
            }
            const Bitboard blocks = single & interpose;
            for (Bitboard b = blocks & G::PROMOTION_RANK; b; b &= b - 1) {
                const Square to = bitScan(b);
                list = emitPromotions(list, to - G::PUSH, to, MOVE_PROMO_Q, 0);
            }
            for (Bitboard b = blocks & ~G::PROMOTION_RANK; b; b &= b - 1) {
                const Square to = bitScan(b);
                list = emit(list, to - G::PUSH, to, MOVE_QUIET, SCORE_QUIET);
            }
        }
    }

    // 9. King steps, also in double check; never onto the check line between king and checker.
    const Bitboard targets = KING_ATTACKS[king] & ~KING_ATTACKS[pos.kingSquare[Side ^ 1]] &
                             ~pos.sideOccupancy[Side] & ~interpose;
    for (Bitboard b = targets & pos.sideOccupancy[Side ^ 1]; b; b &= b - 1) {
        const Square to = bitScan(b);
        list = emit(list, king, to, MOVE_CAPTURE, pieceCaptureScore<BLACK_KING, Side>(king, to, sliderSets()));
    }
    for (Bitboard b = targets & ~pos.allOccupancy; b; b &= b - 1)
        list = emit(list, king, bitScan(b), MOVE_QUIET, SCORE_QUIET);

    // 10. Settle a castled opponent.
    settleCastledOpponent<Side>();
    return list;
}

}  // namespace

const EvasionGenerator GENERATE_EVASIONS[2] = {generateEvasionsFor<BLACK>,
                                               generateEvasionsFor<WHITE>};

}  // namespace vostil
