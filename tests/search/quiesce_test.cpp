// Quiescence search: stand pat, captures until quiet, the depth floor, the dead-draw rule,
// mates among evasions, and how it uses the table.
#include <gtest/gtest.h>

#include "game/play_game_move.h"
#include "eval/evaluate.h"
#include "search/search_fixture.h"

namespace vostil::testing {
namespace {

// The quiescence and interior searches run one ply below a root that has just moved.
class NodeSearchTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        iterationDepth = 2;
    }
    void TearDown() override {
        currentPly = PlyRecords;
        SearchTest::TearDown();
    }
    static void enterChildPly() {
        PlyRecords[0].moveListEnd = MoveStack;
        currentPly = &PlyRecords[1];
        currentPly->moveListEnd = nullptr;
    }
    static Score quiesceHere(int qd, int alpha = -MATE_SCORE, int beta = MATE_SCORE - 1) {
        enterChildPly();
        const Score s = quiesce(qd, alpha, beta);
        EXPECT_EQ(currentPly, &PlyRecords[1]);
        currentPly = PlyRecords;
        return s;
    }
};

using QuiesceTest = NodeSearchTest;

TEST_F(QuiesceTest, QuietPositionIsWorthItsStaticEvaluation) {
    setUpFen("4k3/8/8/8/8/8/4P3/4K3 w - -");
    const Score standPat = evaluate();
    nodeCount = 0;
    EXPECT_EQ(quiesceHere(0), standPat);
    EXPECT_EQ(nodeCount, 0u);
    EXPECT_EQ(findEntry(), nullptr) << "a stand-pat result is not stored";
}

TEST_F(QuiesceTest, HangingQueenIsTakenAndTheCaptureStored) {
    setUpFen("4k3/8/8/3q4/8/8/3R4/4K3 w - -");
    const Score standPat = evaluate();
    EXPECT_GT(quiesceHere(0), standPat + 800);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), capture(D2, D5));
    EXPECT_EQ(entry->depth(), 0);
}

TEST_F(QuiesceTest, AtTheFloorTheRecaptureIsNoLongerSeen) {
    // Rxd5 cxd5 is an even trade; at the floor the rook's capture is scored on its own.
    setUpFen("4k3/8/2p5/3r4/8/8/8/3RK3 w - -");
    const Score atHorizon = quiesceHere(0);
    const Score atFloor = quiesceHere(QUIESCENCE_FLOOR);
    EXPECT_LT(atHorizon, evaluate() + 100);
    EXPECT_GT(atFloor, atHorizon + 300);
}

TEST_F(QuiesceTest, CaptureLeavingBareKingAndMinorIsADeadDraw) {
    // Down the exchange, white takes the rook: king and bishop against king cannot win.
    setUpFen("4k3/8/8/8/8/8/r7/1B2K3 w - -");
    ASSERT_LT(evaluate(), 0);
    nodeCount = 0;
    EXPECT_EQ(quiesceHere(0), 0);
    EXPECT_EQ(nodeCount, 1u) << "the draw is scored without searching below it";
}

TEST_F(QuiesceTest, MatedSideScoresByItsDistanceFromTheRoot) {
    setUpFen("R5k1/5ppp/8/8/8/8/5PPP/6K1 b - -");
    iterationDepth = 1;  // the node is one ply below the root
    EXPECT_EQ(quiesceHere(0), 1 - 8100);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), RESULT_MATED);
    EXPECT_EQ(entry->score(), -8100) << "the table counts from the mated position itself";
    EXPECT_EQ(entry->depth(), 0);
    EXPECT_EQ(entry->bound(), BOUND_EXACT);
}

TEST_F(QuiesceTest, MateDeeperBelowTheHorizonIsFurtherFromTheRoot) {
    setUpFen("R5k1/5ppp/8/8/8/8/5PPP/6K1 b - -");
    iterationDepth = 4;
    EXPECT_EQ(quiesceHere(-3), 4 + 3 - 8100);
}

TEST_F(QuiesceTest, CheckIsAnsweredByEvasionsAndStoredOnePlyDeep) {
    // The rook gives check; taking it is the answer, though standing pat would look fine.
    setUpFen("4k3/8/8/8/8/8/4r3/4K2R w - -");
    EXPECT_GT(quiesceHere(0), 300);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), capture(E1, E2));
    EXPECT_EQ(entry->depth(), 1);
}

TEST_F(QuiesceTest, StoredLowerBoundAboveBetaAnswersWithoutSearching) {
    setUpFen("4k3/8/8/3q4/8/8/3R4/4K3 w - -");
    storeHash(quiet(E1, F1), 600, 0, BOUND_LOWER);
    nodeCount = 0;
    EXPECT_EQ(quiesceHere(-5, -50, 50), 600);
    EXPECT_EQ(nodeCount, 0u);
}

TEST_F(QuiesceTest, QuietHashMoveIsNotTried) {
    setUpFen("4k3/8/8/8/8/8/4P3/4K3 w - -");
    // An upper bound above the window neither answers nor narrows; only its move is kept.
    storeHash(quiet(E2, E3), 500, 0, BOUND_UPPER);
    nodeCount = 0;
    EXPECT_EQ(quiesceHere(0, -50, 50), evaluate());
    EXPECT_EQ(nodeCount, 0u);
}

TEST_F(QuiesceTest, LeavesPositionAndRecordsAsItFoundThem) {
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    const Position before = pos;
    const HistoryEntry* top = historyTop;
    quiesceHere(0);
    EXPECT_TRUE(pos == before);
    EXPECT_EQ(historyTop, top);
}

// --- Interior search -------------------------------------------------------------------------

using SearchNodeTest = NodeSearchTest;

Score searchNodeHere(int depth, int alpha, int beta) {
    PlyRecords[0].moveListEnd = MoveStack;
    currentPly = &PlyRecords[1];
    currentPly->moveListEnd = nullptr;
    const Score s = searchNode(depth, alpha, beta);
    EXPECT_EQ(currentPly, &PlyRecords[1]);
    currentPly = PlyRecords;
    return s;
}

TEST_F(SearchNodeTest, CheckmateScoresByPlyAndStoresTheMatedCode) {
    setUpFen("R5k1/5ppp/8/8/8/8/5PPP/6K1 b - -");
    iterationDepth = 3;
    EXPECT_EQ(searchNodeHere(1, -8100, 8099), -8100 + (3 - 1));
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), RESULT_MATED);
    EXPECT_EQ(entry->depth(), 1);
    EXPECT_EQ(entry->bound(), BOUND_EXACT);
}

TEST_F(SearchNodeTest, StalemateScoresZeroAndStoresTheStalemateCode) {
    setUpFen("7k/5Q2/6K1/8/8/8/8/8 b - -");
    EXPECT_EQ(searchNodeHere(2, -8100, 8099), 0);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), RESULT_STALEMATE);
    EXPECT_EQ(entry->score(), 0);
    EXPECT_EQ(entry->bound(), BOUND_EXACT);
    EXPECT_EQ(entry->depth(), 2);
}

TEST_F(SearchNodeTest, CaptureCutoffRaisesHistoryButMakesNoKiller) {
    setUpFen("4k3/8/8/8/8/8/7q/4K2R w - -");
    const Move rookTakesQueen = capture(H1, H2);
    EXPECT_GE(searchNodeHere(1, -8100, -8000), -8000);
    EXPECT_EQ(PlyRecords[1].killer1, 0);
    EXPECT_EQ(historyScores[WHITE][rookTakesQueen & 0xFFF], 1);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), rookTakesQueen);
    EXPECT_EQ(entry->bound(), BOUND_LOWER);
}

TEST_F(SearchNodeTest, CastlingCutoffBecomesTheKiller) {
    // No captures: castling's ordering score puts it ahead of every other quiet move.
    setUpFen("4k3/8/8/8/8/8/8/4K2R w K -");
    EXPECT_GE(searchNodeHere(2, -8100, -8000), -8000);
    EXPECT_EQ(PlyRecords[1].killer1, CASTLE_WK_MOVE);
    EXPECT_EQ(historyScores[WHITE][CASTLE_WK_MOVE & 0xFFF], 4) << "depth 2 adds 2 x 2";
}

TEST_F(SearchNodeTest, EqualQuietMovesAreTriedInGeneratedOrder) {
    // The first quiet move generated in the initial position is g1-h3.
    setUpFen(START_FEN);
    searchNodeHere(1, -8100, -8000);
    EXPECT_EQ(PlyRecords[1].killer1, quiet(G1, H3));
    EXPECT_EQ(PlyRecords[1].killer2, 0);
}

TEST_F(SearchNodeTest, HistoryCounterPutsAQuietMoveFirst) {
    setUpFen(START_FEN);
    historyScores[WHITE][quiet(B1, C3) & 0xFFF] = 1000;
    searchNodeHere(1, -8100, -8000);
    EXPECT_EQ(PlyRecords[1].killer1, quiet(B1, C3));
    EXPECT_EQ(historyScores[WHITE][quiet(B1, C3) & 0xFFF], 1001);
}

TEST_F(SearchNodeTest, KillerIsTriedBeforeOtherQuietMoves) {
    setUpFen(START_FEN);
    PlyRecords[1].killer1 = quiet(A2, A3);
    PlyRecords[1].killer2 = quiet(H2, H3);
    searchNodeHere(1, -8100, -8000);
    EXPECT_EQ(historyScores[WHITE][quiet(A2, A3) & 0xFFF], 1);
    EXPECT_EQ(historyScores[WHITE][quiet(G1, H3) & 0xFFF], 0);
    EXPECT_EQ(PlyRecords[1].killer1, quiet(A2, A3)) << "an existing killer1 stays in place";
    EXPECT_EQ(PlyRecords[1].killer2, quiet(H2, H3));
}

TEST_F(SearchNodeTest, HashMoveIsTriedFirst) {
    setUpFen(START_FEN);
    PlyRecords[1].killer1 = quiet(A2, A3);
    storeHash(quiet(D2, D4), 0, 0, BOUND_UPPER);  // too shallow to answer, but its move leads
    searchNodeHere(1, -8100, -8000);
    EXPECT_EQ(historyScores[WHITE][quiet(D2, D4) & 0xFFF], 1);
    EXPECT_EQ(historyScores[WHITE][quiet(A2, A3) & 0xFFF], 0);
    EXPECT_EQ(PlyRecords[1].killer1, quiet(D2, D4));
    EXPECT_EQ(PlyRecords[1].killer2, quiet(A2, A3));
}

TEST_F(SearchNodeTest, StoppedNodeStoresNothing) {
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    const Position before = pos;
    stopFlag = true;
    searchNodeHere(3, -8100, 8099);
    EXPECT_EQ(findEntry(), nullptr);
    EXPECT_TRUE(pos == before);
}

TEST_F(SearchNodeTest, RepeatedPositionInsideTheTreeIsADraw) {
    // White is a queen down; Nf3 repeats the position reached two plies before the node.
    setUpFen("7k/8/8/3q4/8/8/8/4K1N1 w - -");
    playGameMove(quiet(G1, F3));
    playGameMove(quiet(H8, G8));
    playGameMove(quiet(F3, H4));
    playGameMove(quiet(G8, H8));
    EXPECT_EQ(searchNodeHere(2, -8100, 8099), 0);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), quiet(H4, F3));
}

}  // namespace
}  // namespace vostil::testing
