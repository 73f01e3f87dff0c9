// Standard algebraic notation as EPD operands carry it: pawn pushes and captures, piece moves
// found by the one piece that reaches the square, castling and promotions.
#include <gtest/gtest.h>

#include "game/setup_game_position.h"
#include "board/position.h"
#include "book/algebraic_move.h"
#include "common/move.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"

namespace vostil {
namespace {

void setUp(const char* fen) { ASSERT_TRUE(setupGamePosition(fen, false)) << fen; }

Move code(Square from, Square to, int kind = MOVE_QUIET) { return makeMoveCode(from, to, kind); }

// --- Pawn pushes -------------------------------------------------------------------------

TEST(ParseAlgebraicMove, PawnPushesFromTheStartPosition) {
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove("e4"), code(E2, E4));
    EXPECT_EQ(code(E2, E4), code(52, 36));
    EXPECT_EQ(parseAlgebraicMove("e3"), code(E2, E3));
    EXPECT_EQ(parseAlgebraicMove("a4"), code(A2, A4));
    EXPECT_EQ(parseAlgebraicMove("h3"), code(H2, H3));
}

TEST(ParseAlgebraicMove, BlackPawnsPushTowardTheFirstRank) {
    setUp("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(parseAlgebraicMove("e5"), code(E7, E5));
    EXPECT_EQ(parseAlgebraicMove("c6"), code(C7, C6));
}

TEST(ParseAlgebraicMove, PushTakesTheSingleStepWhenAPawnStandsRightBehind) {
    setUp("4k3/8/8/8/8/4P3/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("e4"), code(E3, E4));
}

TEST(ParseAlgebraicMove, PushFromOffTheBoardIsRefused) {
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove("a2"), 0);  // nothing can come from below the first rank
    EXPECT_EQ(parseAlgebraicMove("e1"), 0);
    setUp("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(parseAlgebraicMove("e8"), 0);
}

TEST(ParseAlgebraicMove, TextThatIsNoSquareIsRefused) {
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove(""), 0);
    EXPECT_EQ(parseAlgebraicMove("e9"), 0);
    EXPECT_EQ(parseAlgebraicMove("i4"), 0);
    EXPECT_EQ(parseAlgebraicMove("Nf9"), 0);
    EXPECT_EQ(parseAlgebraicMove("Zf3"), 0);
    EXPECT_EQ(parseAlgebraicMove("Nf3g5h7"), 0);
}

// --- Piece moves ----------------------------------------------------------------------------

TEST(ParseAlgebraicMove, KnightMoveFromTheStartPosition) {
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove("Nf3"), code(62, 45));
    EXPECT_EQ(parseAlgebraicMove("Nc3"), code(B1, C3));
    // Legality is not the parser's business: onto the own pawn comes back as a capture.
    EXPECT_EQ(parseAlgebraicMove("Nd2"), code(B1, D2, MOVE_CAPTURE));
}

TEST(ParseAlgebraicMove, TwoKnightsOnOneSquareNeedTheFileOrRank) {
    setUp("rnbqkbnr/pppppppp/8/8/3P4/5N2/PPP1PPPP/RNBQKB1R w KQkq -");
    EXPECT_EQ(parseAlgebraicMove("Nd2"), 0);
    EXPECT_EQ(parseAlgebraicMove("Nbd2"), code(B1, D2));
    EXPECT_EQ(parseAlgebraicMove("Nfd2"), code(F3, D2));
    EXPECT_EQ(parseAlgebraicMove("N1d2"), code(B1, D2));
    EXPECT_EQ(parseAlgebraicMove("N3d2"), code(F3, D2));
    EXPECT_EQ(parseAlgebraicMove("Ncd2"), 0) << "no knight stands on the c-file";
}

TEST(ParseAlgebraicMove, RooksOnOneFileAreToldApartByTheirRank) {
    setUp("4k3/8/8/R7/8/8/8/R3K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("Ra3"), 0);
    EXPECT_EQ(parseAlgebraicMove("R1a3"), code(A1, A3));
    EXPECT_EQ(parseAlgebraicMove("R5a3"), code(A5, A3));
    EXPECT_EQ(parseAlgebraicMove("Rd1"), code(A1, D1));
}

TEST(ParseAlgebraicMove, PinnedPieceStillCountsAsACandidate) {
    // The c3 knight is pinned against e1, so only Ng1-e2 is legal; the text is refused anyway.
    setUp("4k3/8/8/8/1b6/2N5/8/4K1N1 w - -");
    EXPECT_EQ(parseAlgebraicMove("Ne2"), 0);
    EXPECT_EQ(parseAlgebraicMove("Nge2"), code(G1, E2));
}

TEST(ParseAlgebraicMove, SlidersAreFoundAlongOpenLinesOnly) {
    setUp("4k3/8/8/8/8/2P5/8/B2QK3 w - -");
    EXPECT_EQ(parseAlgebraicMove("Bb2"), code(A1, B2));
    EXPECT_EQ(parseAlgebraicMove("Bd4"), 0) << "the c3 pawn blocks the diagonal";
    EXPECT_EQ(parseAlgebraicMove("Qd7"), code(D1, D7));
    EXPECT_EQ(parseAlgebraicMove("Qh5"), code(D1, H5));
}

TEST(ParseAlgebraicMove, CapturesAreMarkedByThePieceOnTheTarget) {
    setUp("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6");
    EXPECT_EQ(parseAlgebraicMove("exd5"), code(E4, D5, MOVE_CAPTURE));
    EXPECT_EQ(parseAlgebraicMove("ed5"), code(E4, D5, MOVE_CAPTURE));
    EXPECT_EQ(parseAlgebraicMove("Bb5+"), code(F1, B5));
    setUp("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    EXPECT_EQ(parseAlgebraicMove("Nxe5"), code(F3, E5, MOVE_CAPTURE));
}

TEST(ParseAlgebraicMove, PawnCaptureComesFromTheNamedFile) {
    setUp("4k3/8/8/3p4/2P1P3/8/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("exd5"), code(E4, D5, MOVE_CAPTURE));
    EXPECT_EQ(parseAlgebraicMove("cxd5"), code(C4, D5, MOVE_CAPTURE));
    EXPECT_EQ(parseAlgebraicMove("fxd5"), 0);
    setUp("4k3/8/8/3p4/2P1P3/8/8/4K3 b - -");
    EXPECT_EQ(parseAlgebraicMove("dxe4"), code(D5, E4, MOVE_CAPTURE));
    EXPECT_EQ(parseAlgebraicMove("dxc4"), code(D5, C4, MOVE_CAPTURE));
}

TEST(ParseAlgebraicMove, EnPassantComesBackAsAPlainMove) {
    setUp("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6");
    EXPECT_EQ(parseAlgebraicMove("exf6"), code(E5, F6));
    EXPECT_EQ(parseAlgebraicMove("exd6"), code(E5, D6));
}

TEST(ParseAlgebraicMove, KingIsTakenAtItsWord) {
    setUp("4k3/8/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("Kg1"), code(E1, G1));
    EXPECT_EQ(parseAlgebraicMove("Ka8"), code(E1, A8));
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove("Kg1"), code(E1, G1, MOVE_CAPTURE));
    setUp("4k3/8/8/8/8/8/8/4K3 b - -");
    EXPECT_EQ(parseAlgebraicMove("Kd7"), code(E8, D7));
}

// --- Castling ---------------------------------------------------------------------------------

TEST(ParseAlgebraicMove, CastlingWithLettersOrZeros) {
    setUp("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    EXPECT_EQ(parseAlgebraicMove("O-O"), CASTLE_WK_MOVE);
    EXPECT_EQ(parseAlgebraicMove("0-0"), Move(0xDF3E));
    EXPECT_EQ(parseAlgebraicMove("O-O-O+"), CASTLE_WQ_MOVE);
    EXPECT_EQ(parseAlgebraicMove("0-0-0"), Move(0xFF3A));
    setUp("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
    EXPECT_EQ(parseAlgebraicMove("O-O"), Move(0xC106));
    EXPECT_EQ(parseAlgebraicMove("O-O-O#"), Move(0xE102));
}

TEST(ParseAlgebraicMove, CastlingNeedsTheRightAndNoCastlingDoneYet) {
    setUp("r3k2r/8/8/8/8/8/8/R3K2R w Qk -");
    EXPECT_EQ(parseAlgebraicMove("O-O"), 0);
    EXPECT_EQ(parseAlgebraicMove("O-O-O"), CASTLE_WQ_MOVE);
    setUp("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    pos.castleFlags |= WHITE_CASTLED;
    EXPECT_EQ(parseAlgebraicMove("O-O"), 0);
    EXPECT_EQ(parseAlgebraicMove("0-0-0"), 0);
    setUp("r3k2r/8/8/8/8/8/8/R3K2R b KQ -");
    EXPECT_EQ(parseAlgebraicMove("O-O"), 0);
    EXPECT_EQ(parseAlgebraicMove("O-O-O"), 0);
}

// --- Promotions ---------------------------------------------------------------------------

TEST(ParseAlgebraicMove, PromotionPushWithEitherLetterCase) {
    setUp("7k/4P3/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("e8=Q"), code(E7, E8, MOVE_PROMO_Q));
    EXPECT_EQ(parseAlgebraicMove("e8Q"), code(E7, E8, MOVE_PROMO_Q));
    EXPECT_EQ(parseAlgebraicMove("e8=n"), code(E7, E8, MOVE_PROMO_N));
    EXPECT_EQ(parseAlgebraicMove("e8=R+"), code(E7, E8, MOVE_PROMO_R));
    EXPECT_EQ(parseAlgebraicMove("e8=B"), code(E7, E8, MOVE_PROMO_B));
    setUp("4k3/8/8/8/8/8/3p4/7K b - -");
    EXPECT_EQ(parseAlgebraicMove("d1=Q+"), code(D2, D1, MOVE_PROMO_Q));
}

TEST(ParseAlgebraicMove, CapturingPromotionKeepsThePlainPromotionKind) {
    setUp("3r3k/3PP3/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("exd8=Q+"), code(12, 3, MOVE_PROMO_Q));
    EXPECT_EQ(parseAlgebraicMove("dxe8=Q"), code(11, 4, MOVE_PROMO_Q));
    EXPECT_EQ(parseAlgebraicMove("exd8=N"), code(E7, D8, MOVE_PROMO_N));
    setUp("4k3/8/8/8/8/8/3p4/2R4K b - -");
    EXPECT_EQ(parseAlgebraicMove("dxc1=Q+"), code(D2, C1, MOVE_PROMO_Q));
    EXPECT_EQ(parseAlgebraicMove("dxe1=R"), code(D2, E1, MOVE_PROMO_R));
}

TEST(ParseAlgebraicMove, CapturingPromotionFromAFileThatIsNoNeighbourIsRefused) {
    setUp("3r3k/3PP3/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("axd8=Q"), 0);
    EXPECT_EQ(parseAlgebraicMove("hxa8=Q"), 0);
}

TEST(PromotionKindFromLetter, QueenKnightRookBishopInEitherCase) {
    EXPECT_EQ(promotionKindFromLetter('Q'), MOVE_PROMO_Q);
    EXPECT_EQ(promotionKindFromLetter('q'), MOVE_PROMO_Q);
    EXPECT_EQ(promotionKindFromLetter('N'), MOVE_PROMO_N);
    EXPECT_EQ(promotionKindFromLetter('n'), MOVE_PROMO_N);
    EXPECT_EQ(promotionKindFromLetter('R'), MOVE_PROMO_R);
    EXPECT_EQ(promotionKindFromLetter('r'), MOVE_PROMO_R);
    EXPECT_EQ(promotionKindFromLetter('B'), MOVE_PROMO_B);
    EXPECT_EQ(promotionKindFromLetter('b'), MOVE_PROMO_B);
    for (char c : {'K', 'k', 'P', 'x', '8', '\0'}) EXPECT_EQ(promotionKindFromLetter(c), 0) << c;
}

// --- Coordinate forms and length ----------------------------------------------------------

TEST(ParseAlgebraicMove, CoordinateFormsAreAcceptedWithOrWithoutThePieceLetter) {
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove("g1f3"), code(G1, F3));
    EXPECT_EQ(parseAlgebraicMove("Ng1f3"), code(G1, F3));
    EXPECT_EQ(parseAlgebraicMove("Ng1-f3"), 0) << "a dash is not dropped, which leaves six characters";
    setUp("7k/4P3/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(parseAlgebraicMove("e7e8q"), code(E7, E8, MOVE_PROMO_Q));
}

TEST(ParseAlgebraicMove, OnlyTheFirstNineCharactersCount) {
    setUp(START_FEN);
    EXPECT_EQ(parseAlgebraicMove("Nf3!!!!!!"), code(G1, F3));
    EXPECT_EQ(parseAlgebraicMove("Nf3??????e"), code(G1, F3)) << "the tenth character is cut";
    EXPECT_EQ(parseAlgebraicMove("!!!!!!!!!Nf3"), 0) << "nothing is left of the first nine";
}

// --- Tactical test positions --------------------------------------------------------------

struct EpdCase {
    const char* epd;
    const char* bestMove;
    Square from;
    Square to;
};

// Bratko-Kopec and Win at Chess positions with their first "bm" operand.
const EpdCase EPD_CASES[] = {
    {"1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - bm Qd1+; id \"BK.01\";", "Qd1+", D6, D1},
    {"3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - bm d5; id \"BK.02\";", "d5", D4, D5},
    {"2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - bm f5; id \"BK.03\";", "f5", F6, F5},
    {"rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq - bm e6; id \"BK.04\";", "e6", E5, E6},
    {"r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - bm Nd5 a4; id \"BK.05\";", "Nd5", C3, D5},
    {"1nk1r1r1/pp2n1pp/4p3/q2pPp1N/b1pP1P2/B1P2R2/2P1B1PP/R2Q2K1 w - - bm Nf6; id \"BK.07\";", "Nf6", H5, F6},
    {"3rr1k1/pp3pp1/1qn2np1/8/3p4/PP1R1P2/2P1NQPP/R1B3K1 b - - bm Ne5; id \"BK.10\";", "Ne5", C6, E5},
    {"r3r1k1/ppqb1ppp/8/4p1NQ/8/2P5/PP3PPP/R3R1K1 b - - bm Bf5; id \"BK.12\";", "Bf5", D7, F5},
    {"2r3k1/1p2q1pp/2b1pr2/p1pp4/6Q1/1P1PP1R1/P1PN2PP/5RK1 w - - bm Qxg7+; id \"BK.15\";", "Qxg7+", G4, G7},
    {"2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - bm Qg6; id \"WAC.001\";", "Qg6", G3, G6},
    {"8/7p/5k2/5p2/p1p2P2/Pr1pPK2/1P1R3P/8 b - - bm Rxb2; id \"WAC.002\";", "Rxb2", B3, B2},
    {"5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN w - - bm Rg3; id \"WAC.003\";", "Rg3", E3, G3},
    {"r1bq2rk/pp3pbp/2p1p1pQ/7P/3P4/2PB1N2/PP3PPR/2KR4 w - - bm Qxh7+; id \"WAC.004\";", "Qxh7+", H6, H7},
    {"5k2/6pp/p1qN4/1p1p4/3P4/2PKP2Q/PP3r2/3R4 b - - bm Qc4+; id \"WAC.005\";", "Qc4+", C6, C4},
    {"7k/p7/1R5K/6r1/6p1/6P1/8/8 w - - bm Rb7; id \"WAC.006\";", "Rb7", B6, B7},
    {"rnbqkb1r/pppp1ppp/8/4P3/6n1/7P/PPPNPPP1/R1BQKBNR b KQkq - bm Ne3; id \"WAC.007\";", "Ne3", G4, E3},
};

TEST(ParseAlgebraicMove, BestMovesOfWellKnownTestPositions) {
    for (const EpdCase& c : EPD_CASES) {
        SCOPED_TRACE(c.epd);
        ASSERT_TRUE(setupGamePosition(c.epd, false));
        Move m = parseAlgebraicMove(c.bestMove);
        ASSERT_NE(m, 0);
        EXPECT_EQ(moveFrom(m), c.from);
        EXPECT_EQ(moveTo(m), c.to);
        EXPECT_TRUE(isLegalMove(m));
        EXPECT_EQ(moveKind(m) == MOVE_CAPTURE, pos.board[c.to] != EMPTY);
    }
}

}  // namespace
}  // namespace vostil
