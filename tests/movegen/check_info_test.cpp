// Who gives check, and whether a move just made left the mover's king attacked.
#include "movegen_helpers.h"

namespace vostil::movegen_test {
namespace {

Move parse(const char* text) { return parseCoordinateMove(text, MoveSource::Search); }

const CheckInfo& checkInfoNow() {
    computeCheckInfo(*currentPly);
    return currentPly->checkInfo;
}

TEST(CheckInfo, NoCheckersInTheStartPosition) {
    setUp(START_FEN);
    EXPECT_EQ(checkInfoNow().checkers, 0u);
}

TEST(CheckInfo, EachKindOfCheckerIsFound) {
    setUp("4k3/8/8/8/8/8/8/r3K3 w - - 0 1");  // rook along the first rank
    EXPECT_EQ(checkInfoNow().checkers, BIT[A1]);
    setUp("4k3/8/8/8/1q6/8/8/4K3 w - - 0 1");  // queen on the diagonal
    EXPECT_EQ(checkInfoNow().checkers, BIT[B4]);
    setUp("4k3/8/8/8/8/3n4/8/4K3 w - - 0 1");  // knight
    EXPECT_EQ(checkInfoNow().checkers, BIT[D3]);
    setUp("4k3/8/8/8/8/8/5p2/4K3 w - - 0 1");  // black pawn on f2
    EXPECT_EQ(checkInfoNow().checkers, BIT[F2]);
    setUp("4k3/3P4/8/8/8/8/8/4K3 b - - 0 1");  // white pawn on d7 checks the black king
    EXPECT_EQ(checkInfoNow().checkers, BIT[D7]);
}

TEST(CheckInfo, BlockedSlidersAndPawnsBehindTheKingDoNotCheck) {
    setUp("4k3/8/8/8/8/8/4P3/r2NK2q w - - 0 1");
    EXPECT_EQ(checkInfoNow().checkers, BIT[H1]);  // a1 is blocked by the knight on d1
    setUp("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(checkInfoNow().checkers, 0u);
    setUp("4k3/8/8/8/8/8/4p3/4K3 w - - 0 1");  // a black pawn in front of the king does not check
    EXPECT_EQ(checkInfoNow().checkers, 0u);
}

TEST(CheckInfo, DoubleCheckByRookAndBishopWritesBothLineSets) {
    setUp("k3r3/8/8/8/1b6/8/8/4K3 w - - 0 1");
    const CheckInfo& info = checkInfoNow();
    EXPECT_EQ(info.checkers, BIT[E8] | BIT[B4]);
    EXPECT_EQ(info.orthogonalLines, rookAttacks(E1));
    EXPECT_EQ(info.diagonalLines, bishopAttacks(E1));
}

TEST(CheckInfo, AKnightCheckWithARookBehindOwnPiecesHasOnlyTheKnightAsChecker) {
    setUp("k3r3/8/8/8/4P3/8/2n5/4K3 w - - 0 1");
    const CheckInfo& info = checkInfoNow();
    EXPECT_EQ(info.checkers, BIT[C2]);
    EXPECT_EQ(info.orthogonalLines, rookAttacks(E1));  // written, though the rook is blocked
}

// The evasion generator tells a rank or file check by a non-empty orthogonalLines, so a
// diagonal check must clear whatever an earlier call left there.
TEST(CheckInfo, ADiagonalCheckClearsStaleOrthogonalLines) {
    setUp("4k3/8/8/8/1b6/8/8/4K3 w - - 0 1");
    currentPly->checkInfo.orthogonalLines = ~Bitboard(0);
    const CheckInfo& info = checkInfoNow();
    EXPECT_EQ(info.checkers, BIT[B4]);
    EXPECT_EQ(info.orthogonalLines, 0u);
    EXPECT_EQ(info.diagonalLines, bishopAttacks(E1));

    // With an enemy rook on the king's file that does not check, the same holds.
    setUp("4r1k1/8/8/8/1b6/8/4P3/4K3 w - - 0 1");
    currentPly->checkInfo.orthogonalLines = ~Bitboard(0);
    EXPECT_EQ(checkInfoNow().checkers, BIT[B4]);
    EXPECT_EQ(currentPly->checkInfo.orthogonalLines, 0u);
}

TEST(KingAttacked, APinnedKnightThatMovesExposesItsKing) {
    setUp("4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e2c3")));
    EXPECT_FALSE(leavesKingAttacked(parse("e1d1")));
}

TEST(KingAttacked, SteppingAwayAlongTheCheckingRooksLineIsStillCheck) {
    setUp("k3r3/8/8/8/4K3/8/3n4/8 w - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e4e3")));
    EXPECT_TRUE(leavesKingAttacked(parse("e4e5")));
    EXPECT_FALSE(leavesKingAttacked(parse("e4f5")));
}

TEST(KingAttacked, EachAttackerKindIsSeen) {
    setUp("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_FALSE(leavesKingAttacked(parse("e1e2")));
    setUp("4k3/8/8/8/8/2n5/8/4K3 w - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e1e2")));  // knight c3 covers e2
    setUp("4k3/8/8/8/8/3p4/8/4K3 w - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e1e2")));  // pawn d3 covers e2
    EXPECT_FALSE(leavesKingAttacked(parse("e1d2")));  // but not d2
    setUp("4k3/8/8/8/8/8/8/4K2r w - - 0 1");
    EXPECT_FALSE(leavesKingAttacked(parse("e1e2")));
    EXPECT_TRUE(leavesKingAttacked(parse("e1d1")));  // the rook sees through the old square
    setUp("4k3/8/8/b7/8/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e1d2")));  // bishop a5 covers d2
    setUp("4k3/8/8/8/8/8/8/q3K3 w - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e1f1")));
    EXPECT_FALSE(leavesKingAttacked(parse("e1f2")));
    setUp("4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_FALSE(leavesKingAttacked(parse("e8d7")));
    setUp("4k3/8/8/8/1B6/8/8/4K3 b - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e8e7")));  // bishop b4 covers e7
    EXPECT_FALSE(leavesKingAttacked(parse("e8d7")));
    setUp("4k3/8/4P3/8/8/8/8/4K3 b - - 0 1");
    EXPECT_TRUE(leavesKingAttacked(parse("e8d7")));  // white pawn e6 covers d7 and f7
    EXPECT_FALSE(leavesKingAttacked(parse("e8e7")));
}

TEST(KingAttacked, CastlingThroughAnAttackedSquareIsRefused) {
    setUp("4k3/8/8/8/2b5/8/8/R3K2R w KQ - 0 1");  // bishop c4 covers f1
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WK_MOVE));
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WQ_MOVE));

    setUp("4k3/8/8/8/4b3/8/8/R3K2R w KQ - 0 1");  // bishop e4 covers b1 only on that side
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WQ_MOVE));

    setUp("3rk3/8/8/8/8/8/8/R3K2R w KQ - 0 1");  // rook d8 covers d1 down the open file
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WQ_MOVE));
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WK_MOVE));

    setUp("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WK_MOVE));
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WQ_MOVE));
}

TEST(KingAttacked, CastlingOutOfCheckOrOntoAnAttackedSquareIsRefused) {
    setUp("4k3/8/8/8/8/8/8/R3K1rR w KQ - 0 1");  // the rook on g1 checks the king on e1
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WQ_MOVE));
    setUp("4k3/8/8/8/8/8/5n2/R3K2R w KQ - 0 1");  // knight f2 covers d1 and h1, not g1
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WQ_MOVE));  // d1 is crossed
    setUp("4k3/8/8/8/8/7n/8/R3K2R w KQ - 0 1");  // knight h3 covers g1 and f2
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WK_MOVE));
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WQ_MOVE));
}

TEST(KingAttacked, BlackCastlingSquaresAreTestedToo) {
    setUp("r3k2r/8/8/8/8/8/8/4KR2 b kq - 0 1");  // rook f1 covers f8
    EXPECT_TRUE(leavesKingAttacked(CASTLE_BK_MOVE));
    EXPECT_FALSE(leavesKingAttacked(CASTLE_BQ_MOVE));
    setUp("r3k2r/8/8/8/8/8/8/3RK3 b kq - 0 1");  // rook d1 covers d8
    EXPECT_FALSE(leavesKingAttacked(CASTLE_BK_MOVE));
    EXPECT_TRUE(leavesKingAttacked(CASTLE_BQ_MOVE));
    setUp("r3k2r/8/8/8/8/8/8/4R1K1 b kq - 0 1");  // rook e1 checks e8
    EXPECT_TRUE(leavesKingAttacked(CASTLE_BK_MOVE));
    EXPECT_TRUE(leavesKingAttacked(CASTLE_BQ_MOVE));
}

TEST(KingAttacked, CastlingOntoASquareBesideTheEnemyKingIsRefused) {
    struct Case {
        const char* fen;
        Move move;
        bool refused;
    };
    const Case cases[] = {
        {"8/8/8/8/8/8/6k1/4K2R w K - 0 1", CASTLE_WK_MOVE, true},   // g1 touches g2
        {"8/8/8/8/8/5k2/8/4K2R w K - 0 1", CASTLE_WK_MOVE, false},   // f3 is two steps away
        {"8/8/8/8/8/8/1k6/R3K3 w Q - 0 1", CASTLE_WQ_MOVE, true},   // c1 touches b2
        {"4k2r/6K1/8/8/8/8/8/8 b k - 0 1", CASTLE_BK_MOVE, true},   // g8 touches g7
        {"r3k3/1K6/8/8/8/8/8/8 b q - 0 1", CASTLE_BQ_MOVE, true},   // c8 touches b7
        {"r3k3/8/2K5/8/8/8/8/8 b q - 0 1", CASTLE_BQ_MOVE, false},  // c6 is two steps away
    };
    for (const Case& c : cases) {
        setUp(c.fen);
        EXPECT_EQ(leavesKingAttacked(c.move), c.refused) << c.fen;
        EXPECT_EQ(isLegalMove(c.move), !c.refused) << c.fen;
    }
}

}  // namespace
}  // namespace vostil::movegen_test
