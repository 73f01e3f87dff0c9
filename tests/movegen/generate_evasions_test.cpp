// Check evasions: only captures of the checker, interpositions and king steps, in the fixed
// order en passant, pawns, knights, bishops, rooks, queens (each capturing before it
// interposes), pawn interpositions, king.
#include <string>
#include <vector>

#include "eval/evaluate.h"
#include "movegen/order_scores.h"
#include "movegen_helpers.h"

namespace vostil::movegen_test {
namespace {

TEST(Evasions, DoubleCheckAllowsOnlyKingSteps) {
    // Rook e8 and knight d2 both check the king on e4; the rook on h2 could otherwise take d2.
    setUp("k3r3/8/8/8/4K3/8/3n3R/8 w - - 0 1");
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {"e4f3", "e4e3", "e4d3", "e4f4",
                                               "e4d4", "e4f5", "e4e5", "e4d5"};
    EXPECT_EQ(textsOf(list), expected);
    for (const Listed& l : list) EXPECT_EQ(l.score, SCORE_QUIET) << l.text;
    // Stepping away along the rook's file is written, and refused once made.
    EXPECT_TRUE(leavesKingAttacked(parseCoordinateMove("e4e3", MoveSource::Search)));
}

TEST(Evasions, AKingNeverStepsOntoTheCheckLineBetweenItAndTheChecker) {
    setUp("4k3/8/8/8/8/8/8/r3K3 w - - 0 1");
    const std::vector<std::string> expected = {"e1f1", "e1f2", "e1e2", "e1d2"};
    EXPECT_EQ(textsOf(evasionList()), expected);  // d1 lies between; f1 behind is written
}

// Each piece kind captures the checker before it interposes; the king comes last.
TEST(Evasions, WhitePiecesAnswerADistantRookInTheFixedOrder) {
    setUp("6k1/1R6/7Q/8/3B4/8/2N1BN2/r3K3 w - - 0 1");
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {"c2a1", "f2d1", "d4a1", "e2d1",
                                               "b7b1", "h6c1", "e1f1", "e1d2"};
    ASSERT_EQ(textsOf(list), expected);
    const std::vector<int> scores = {500 - 9810, -30310, 500 - 9815, -30315,
                                     -30500,     -30940, -30000,     -30000};
    for (size_t i = 0; i < scores.size(); ++i) EXPECT_EQ(list[i].score, scores[i]) << list[i].text;
}

TEST(Evasions, BlackPiecesAnswerTheMirroredCheckAlike) {
    setUp("R3k3/2n1bn2/8/3b4/8/7q/1r6/6K1 b - - 0 1");
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {"c7a8", "f7d8", "d5a8", "e7d8",
                                               "b2b8", "h3c8", "e8d7", "e8f8"};
    ASSERT_EQ(textsOf(list), expected);
    const std::vector<int> scores = {500 - 9810, -30310, 500 - 9815, -30315,
                                     -30500,     -30940, -30000,     -30000};
    for (size_t i = 0; i < scores.size(); ++i) EXPECT_EQ(list[i].score, scores[i]) << list[i].text;
}

TEST(Evasions, AnAdjacentQueenIsTakenByAnyPieceWithoutInterpositions) {
    setUp("3R4/8/7k/8/8/8/3q4/1NB1K3 w - - 0 1");
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {"b1d2", "c1d2", "d8d2", "e1d2",
                                               "e1f1", "e1d1", "e1f2", "e1e2"};
    ASSERT_EQ(textsOf(list), expected);
    EXPECT_EQ(list[0].score, 940 - 9810);
    EXPECT_EQ(list[1].score, 940 - 9815);
    EXPECT_EQ(list[2].score, 940 - 10000);
    const int d = pieceSquareValue(WHITE_KING, D2) - pieceSquareValue(WHITE_KING, E1);
    EXPECT_EQ(list[3].score, d + pieceSquareValue(BLACK_QUEEN, D2) + 940 - 9500);

    // Guarded by a bishop, the queen may still be taken by the king in the list, but scored
    // as the worst of moves; the other captures are not analysed at all.
    setUp("3R4/8/7k/b7/8/8/3q4/1NB1K3 w - - 0 1");
    const std::vector<Listed> guarded = evasionList();
    ASSERT_NE(find(guarded, "e1d2"), nullptr);
    EXPECT_EQ(find(guarded, "e1d2")->score, -32767);
    EXPECT_EQ(find(guarded, "b1d2")->score, 940 - 9810);
}

TEST(Evasions, APawnCheckByADoubleStepIsAnsweredByEnPassantFirst) {
    setUp("4k3/3p4/8/4P3/2P1K3/8/8/8 b - - 0 1");
    playMoves({"d7d5"});
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {"e5d6", "c4d5", "e4d5", "e4f3", "e4e3",
                                               "e4d3", "e4f4", "e4d4", "e4f5"};
    ASSERT_EQ(textsOf(list), expected);
    EXPECT_EQ(list[0].score, SCORE_EN_PASSANT);
    EXPECT_EQ(list[1].score, 100 - 9600);
    const int d = pieceSquareValue(WHITE_KING, D5) - pieceSquareValue(WHITE_KING, E4);
    EXPECT_EQ(list[2].score, d + pieceSquareValue(BLACK_PAWN, D5) + 100 - 9500);
    MoveEntry* begin = listStart();
    generateEvasions(begin, currentPly->checkInfo);
    EXPECT_EQ(moveKind(begin[0].move), MOVE_EN_PASSANT);
}

TEST(Evasions, BlackAnswersADoubleStepCheckByEnPassantFromBothSides) {
    setUp("8/8/8/2k5/2p1p3/8/3P4/4K3 w - - 0 1");
    playMoves({"d2d4"});  // the pawn on d4 checks the king on c5
    const std::vector<Listed> list = evasionList();
    ASSERT_GE(list.size(), 2u);
    // The pawn beside the lower square (c4) first, then the one on e4.
    EXPECT_EQ(list[0].text, "c4d3");
    EXPECT_EQ(list[1].text, "e4d3");
    EXPECT_EQ(list[0].score, SCORE_EN_PASSANT);
    EXPECT_EQ(list[1].score, SCORE_EN_PASSANT);
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list[2].text, "c5d4");  // then the king may take the checker itself
}

TEST(Evasions, ACheckerOnTheLastRankIsTakenWithFourPromotionsEach) {
    setUp("2r4K/1P1PP3/8/8/8/k7/8/8 w - - 0 1");
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {
        "b7c8q", "b7c8n", "b7c8r", "b7c8b", "d7c8q", "d7c8n", "d7c8r", "d7c8b", "e7e8q",
        "e7e8n", "e7e8r", "e7e8b", "d7d8q", "d7d8n", "d7d8r", "d7d8b", "h8h7", "h8g7"};
    ASSERT_EQ(textsOf(list), expected);
    const std::vector<int> scores = {500 - 9401, 500 - 30005, 500 - 30025, 500 - 30050,
                                     500 - 9401, 500 - 30005, 500 - 30025, 500 - 30050,
                                     -9401,      -30005,      -30025,      -30050};
    for (size_t i = 0; i < scores.size(); ++i) EXPECT_EQ(list[i].score, scores[i]) << list[i].text;
}

TEST(Evasions, BlackPawnsTakeAndBlockOnTheFirstRank) {
    setUp("8/8/K7/8/8/8/1p1pp3/2R4k b - - 0 1");
    const std::vector<std::string> expected = {
        "b2c1q", "b2c1n", "b2c1r", "b2c1b", "d2c1q", "d2c1n", "d2c1r", "d2c1b", "e2e1q",
        "e2e1n", "e2e1r", "e2e1b", "d2d1q", "d2d1n", "d2d1r", "d2d1b", "h1h2", "h1g2"};
    EXPECT_EQ(textsOf(evasionList()), expected);
}

TEST(Evasions, PawnsBlockWithDoubleStepsBeforeSingleSteps) {
    setUp("4k3/8/8/b7/8/8/1PP5/4K3 w - - 0 1");
    const std::vector<Listed> list = evasionList();
    const std::vector<std::string> expected = {"b2b4", "c2c3", "e1f1", "e1d1", "e1f2", "e1e2"};
    EXPECT_EQ(textsOf(list), expected);
    for (const Listed& l : list) EXPECT_EQ(l.score, SCORE_QUIET) << l.text;

    setUp("4k3/1pp5/8/8/B7/8/8/4K3 b - - 0 1");
    const std::vector<std::string> mirrored = {"b7b5", "c7c6", "e8f7", "e8e7", "e8f8", "e8d8"};
    EXPECT_EQ(textsOf(evasionList()), mirrored);
}

TEST(Evasions, KnightChecksCannotBeBlocked) {
    setUp("4k3/8/8/8/8/3n4/2B2P2/4K3 w - - 0 1");
    const std::vector<Listed> list = evasionList();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].text, "c2d3");
    EXPECT_EQ(list[0].score, 310 - 9815);
    for (size_t i = 1; i < list.size(); ++i) EXPECT_EQ(list[i].text.substr(0, 2), "e1") << list[i].text;
}

TEST(Evasions, WithNoLegalAnswerEveryWrittenMoveFailsTheLegalityTest) {
    setUp("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");  // back-rank mate
    MoveEntry* begin = listStart();
    computeCheckInfo(*currentPly);
    MoveEntry* end = generateEvasions(begin, currentPly->checkInfo);
    ASSERT_NE(begin, end);  // the king's step to h8 is written
    for (MoveEntry* e = begin; e != end; ++e)
        EXPECT_TRUE(leavesKingAttacked(e->move)) << moveText(e->move);
}

}  // namespace
}  // namespace vostil::movegen_test
