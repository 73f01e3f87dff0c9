// The full and the capture generator: which moves they write, in which order, with which
// ordering scores. The search breaks ties by list position, so the order is behaviour.
#include <string>
#include <vector>

#include "eval/evaluate.h"
#include "movegen/static_exchange.h"
#include "movegen/order_scores.h"
#include "movegen_helpers.h"

namespace vostil::movegen_test {
namespace {

// The exchange score the generators are expected to use for a capture or promotion push.
int exchangeScore(Square from, Square to) {
    const Bitboard queens = pos.pieceBoards[WHITE_QUEEN] | pos.pieceBoards[BLACK_QUEEN];
    const Bitboard rooks = pos.pieceBoards[WHITE_ROOK] | pos.pieceBoards[BLACK_ROOK] | queens;
    const Bitboard bishops = pos.pieceBoards[WHITE_BISHOP] | pos.pieceBoards[BLACK_BISHOP] | queens;
    return staticExchange(pos.board[from], from, to, rooks, bishops);
}

// --- Full generator --------------------------------------------------------------------

TEST(FullGenerator, StartPositionGivesTwentyQuietMovesKnightsFirstThenDoubleThenSingleSteps) {
    setUp(START_FEN);
    const std::vector<Listed> list = fullList();
    const std::vector<std::string> expected = {
        "g1h3", "g1f3", "b1c3", "b1a3", "h2h4", "g2g4", "f2f4", "e2e4", "d2d4", "c2c4",
        "b2b4", "a2a4", "h2h3", "g2g3", "f2f3", "e2e3", "d2d3", "c2c3", "b2b3", "a2a3"};
    EXPECT_EQ(textsOf(list), expected);
    for (const Listed& l : list) EXPECT_EQ(l.score, SCORE_QUIET) << l.text;
}

TEST(FullGenerator, BlackStartMovesComeFromTheHighestSquaresFirst) {
    setUp("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    const std::vector<std::string> expected = {
        "g8h6", "g8f6", "b8c6", "b8a6", "h7h5", "g7g5", "f7f5", "e7e5", "d7d5", "c7c5",
        "b7b5", "a7a5", "h7h6", "g7g6", "f7f6", "e7e6", "d7d6", "c7c6", "b7b6", "a7a6"};
    EXPECT_EQ(textsOf(fullList()), expected);
}

// Pawn captures, knights, rooks, pushes, king, castling: each piece's captures before its
// quiet moves, squares from h1 toward a8.
TEST(FullGenerator, WhiteMovesFollowTheFixedPieceOrder) {
    setUp("4k3/8/8/3p4/4P3/2N5/8/R3K3 w Q - 0 1");
    const std::vector<Listed> list = fullList();
    const std::vector<std::string> expected = {
        "e4d5", "c3d5", "c3d1", "c3b1", "c3e2", "c3a2", "c3a4", "c3b5", "a1d1",
        "a1c1", "a1b1", "a1a2", "a1a3", "a1a4", "a1a5", "a1a6", "a1a7", "a1a8",
        "e4e5", "e1f1", "e1d1", "e1f2", "e1e2", "e1d2", "e1c1"};
    ASSERT_EQ(textsOf(list), expected);
    EXPECT_EQ(list[0].score, 100 - 9600);
    // The knight takes a pawn that the e4 pawn covers: nothing can recapture, a clean win.
    const int d = pieceSquareValue(WHITE_KNIGHT, D5) - pieceSquareValue(WHITE_KNIGHT, C3);
    EXPECT_EQ(list[1].score, d + pieceSquareValue(BLACK_PAWN, D5) + 100 - 9500);
    EXPECT_EQ(list[1].score, exchangeScore(C3, D5));
    EXPECT_EQ(list.back().score, SCORE_CASTLE_LONG);
    EXPECT_EQ(list.back().text, "e1c1");
}

TEST(FullGenerator, BlackMovesFollowTheSamePieceOrder) {
    setUp("r3k3/8/2n5/4p3/3P4/8/8/4K3 b q - 0 1");
    const std::vector<Listed> list = fullList();
    const std::vector<std::string> expected = {
        "e5d4", "c6d4", "c6b4", "c6a5", "c6e7", "c6a7", "c6d8", "c6b8", "a8a1",
        "a8a2", "a8a3", "a8a4", "a8a5", "a8a6", "a8a7", "a8d8", "a8c8", "a8b8",
        "e5e4", "e8f7", "e8e7", "e8d7", "e8f8", "e8d8", "e8c8"};
    ASSERT_EQ(textsOf(list), expected);
    const int d = pieceSquareValue(BLACK_KNIGHT, D4) - pieceSquareValue(BLACK_KNIGHT, C6);
    EXPECT_EQ(list[1].score, d + pieceSquareValue(WHITE_PAWN, D4) + 100 - 9500);
    EXPECT_EQ(list.back().score, SCORE_CASTLE_LONG);
}

TEST(FullGenerator, QueensComeBeforeRooksAndRooksBeforeBishops) {
    setUp("4k3/8/8/8/8/8/8/1B1QK1NR w - - 0 1");
    std::vector<char> pieceOrder;
    for (const Listed& l : fullList()) {
        const char piece = ".PpNnBbRrQqKk"[pos.board[(l.text[0] - 'a') + 8 * ('8' - l.text[1])]];
        if (pieceOrder.empty() || pieceOrder.back() != piece) pieceOrder.push_back(piece);
    }
    EXPECT_EQ(std::string(pieceOrder.begin(), pieceOrder.end()), "NQRBK");
}

TEST(FullGenerator, PromotionsComeFourAtATimeQueenKnightRookBishop) {
    setUp("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    const std::vector<Listed> list = fullList();
    const std::vector<std::string> expected = {"b7a8q", "b7a8n", "b7a8r", "b7a8b", "b7b8q",
                                               "b7b8n", "b7b8r", "b7b8b", "e1f1", "e1d1",
                                               "e1f2", "e1e2", "e1d2"};
    ASSERT_EQ(textsOf(list), expected);
    const std::vector<int> scores = {500 - 9401, 500 - 30005, 500 - 30025, 500 - 30050,
                                     -9401,      -30005,      -30025,      -30050};
    for (size_t i = 0; i < scores.size(); ++i) EXPECT_EQ(list[i].score, scores[i]) << list[i].text;

    MoveEntry* begin = listStart();
    generateMoves(begin);
    EXPECT_EQ(moveKind(begin[0].move), MOVE_PROMO_CAPTURE_Q);
    EXPECT_EQ(moveKind(begin[3].move), MOVE_PROMO_CAPTURE_B);
    EXPECT_EQ(moveKind(begin[4].move), MOVE_PROMO_Q);
    EXPECT_EQ(moveKind(begin[5].move), MOVE_PROMO_N);
}

TEST(FullGenerator, BlackPromotionsLandOnTheFirstRank) {
    setUp("4k3/8/8/8/8/8/6p1/4K2R b - - 0 1");
    const std::vector<Listed> list = fullList();
    const std::vector<std::string> prefix = {"g2h1q", "g2h1n", "g2h1r", "g2h1b",
                                             "g2g1q", "g2g1n", "g2g1r", "g2g1b"};
    const std::vector<std::string> texts = textsOf(list);
    ASSERT_GE(texts.size(), prefix.size());
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 8), prefix);
    EXPECT_EQ(list[0].score, 500 - 9401);
}

TEST(FullGenerator, EnPassantComesFirstAmongItsDirectionsCaptures) {
    setUp("4k3/3p4/8/2p1P3/8/8/8/4K3 b - - 0 1");
    playMoves({"d7d5"});
    const std::vector<Listed> list = fullList();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].text, "e5d6");
    EXPECT_EQ(list[0].score, SCORE_EN_PASSANT);
    MoveEntry* begin = listStart();
    generateMoves(begin);
    EXPECT_EQ(begin[0].move, makeMoveCode(E5, D6, MOVE_EN_PASSANT));
    EXPECT_EQ(begin[0].move, 0x2713);
}

TEST(FullGenerator, EqualTradesScoreMinus9500AndMinorPiecesDifferByTheirValues) {
    // Pawn takes pawn, queen takes queen, knight takes bishop.
    setUp("4k3/8/2b1q3/3p4/1N2P3/7Q/8/4K3 w - - 0 1");
    const std::vector<Listed> list = fullList();
    ASSERT_NE(find(list, "e4d5"), nullptr);
    EXPECT_EQ(find(list, "e4d5")->score, -9500);
    ASSERT_NE(find(list, "h3e6"), nullptr);
    EXPECT_EQ(find(list, "h3e6")->score, -9500);
    ASSERT_NE(find(list, "b4c6"), nullptr);
    EXPECT_EQ(find(list, "b4c6")->score, -9495);

    // Bishop takes knight.
    setUp("4k3/8/2n5/8/4B3/8/8/4K3 w - - 0 1");
    const std::vector<Listed> bishopList = fullList();
    ASSERT_NE(find(bishopList, "e4c6"), nullptr);
    EXPECT_EQ(find(bishopList, "e4c6")->score, -9505);
}

TEST(FullGenerator, QueenTakingADefendedPawnIsJudgedByTheExchange) {
    setUp("4k3/4p3/3p4/8/q2Q4/8/8/4K3 w - - 0 1");
    const std::vector<Listed> list = fullList();
    ASSERT_NE(find(list, "d4a4"), nullptr);
    EXPECT_EQ(find(list, "d4a4")->score, -9500);  // undefended queen: no exchange needed
    ASSERT_NE(find(list, "d4d6"), nullptr);
    const int d = pieceSquareValue(WHITE_QUEEN, D6) - pieceSquareValue(WHITE_QUEEN, D4);
    EXPECT_EQ(find(list, "d4d6")->score, d - 30790);  // the pawn on e7 takes the queen back
}

TEST(FullGenerator, KingNeverStepsNextToTheOtherKing) {
    setUp("8/8/8/3k4/8/3K4/8/8 w - - 0 1");
    const std::vector<std::string> expected = {"d3e2", "d3d2", "d3c2", "d3e3", "d3c3"};
    EXPECT_EQ(textsOf(fullList()), expected);
}

TEST(FullGenerator, CastlingIsWrittenThoughACrossedSquareIsAttackedAndRejectedWhenMade) {
    setUp("4k3/8/8/8/2b5/8/8/R3K2R w KQ - 0 1");  // the bishop on c4 covers f1
    MoveEntry* begin = listStart();
    MoveEntry* end = generateMoves(begin);
    ASSERT_GE(end - begin, 2);
    EXPECT_EQ(end[-2].move, CASTLE_WK_MOVE);
    EXPECT_EQ(end[-2].score, SCORE_CASTLE_SHORT);
    EXPECT_EQ(end[-1].move, CASTLE_WQ_MOVE);
    EXPECT_EQ(end[-1].score, SCORE_CASTLE_LONG);
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WK_MOVE));
    EXPECT_FALSE(leavesKingAttacked(CASTLE_WQ_MOVE));
}

TEST(FullGenerator, CastlingNeedsTheRightAndEmptySquaresBetweenKingAndRook) {
    setUp("r3k2r/8/8/8/8/8/8/RN2K1NR w KQkq - 0 1");
    for (const Listed& l : fullList()) EXPECT_TRUE(l.text != "e1g1" && l.text != "e1c1") << l.text;

    setUp("r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1");
    const std::vector<Listed> list = fullList();
    EXPECT_EQ(find(list, "e8g8"), nullptr);  // the right is gone
    ASSERT_NE(find(list, "e8c8"), nullptr);
    EXPECT_EQ(list.back().text, "e8c8");
    EXPECT_EQ(list.back().score, SCORE_CASTLE_LONG);
}

TEST(FullGenerator, CastlingIsOfferedEvenWhenInCheckSinceTheLegalityTestRejectsIt) {
    // Only the full generator offers castling; a king in check is answered by evasions, but
    // should the full list be asked for, the legality test still refuses the castling.
    setUp("4k3/8/8/8/8/8/8/R3K2r w Q - 0 1");
    MoveEntry* begin = listStart();
    MoveEntry* end = generateMoves(begin);
    ASSERT_EQ(end[-1].move, CASTLE_WQ_MOVE);
    EXPECT_TRUE(leavesKingAttacked(CASTLE_WQ_MOVE));
}

// After a side castles, the opponent's generators settle the castled state: the rights and
// the CASTLED bit go, the short/long record stays, the king square is reasserted and the
// key is untouched.
TEST(CastledState, EachOfTheOpponentsGeneratorsSettlesIt) {
    for (int generator = 0; generator < 3; ++generator) {
        SCOPED_TRACE(generator);
        setUp("5k2/8/8/8/8/8/8/4K2R w K - 0 1");
        playMoves({"e1g1"});  // the rook on f1 now checks the king on f8
        EXPECT_EQ(pos.castleFlags, RIGHT_WK | WHITE_CASTLED | WHITE_CASTLED_SHORT);
        const uint32_t keyLow = pos.keyLow, keyHigh = pos.keyHigh;
        if (generator == 0) evasionList();
        if (generator == 1) fullList();
        if (generator == 2) captureList();
        EXPECT_EQ(pos.castleFlags, WHITE_CASTLED_SHORT);
        EXPECT_EQ(pos.kingSquare[WHITE], G1);
        EXPECT_EQ(pos.keyLow, keyLow);
        EXPECT_EQ(pos.keyHigh, keyHigh);
    }
}

TEST(CastledState, BlackLongCastlingIsSettledByWhiteKeepingWhitesRights) {
    setUp("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq - 0 1");
    playMoves({"e8c8"});
    EXPECT_TRUE(pos.castleFlags & BLACK_CASTLED);
    fullList();
    EXPECT_EQ(pos.castleFlags, RIGHT_WK | RIGHT_WQ | BLACK_CASTLED_LONG);
    EXPECT_EQ(pos.kingSquare[BLACK], C8);
}

// --- Capture generator ------------------------------------------------------------------

TEST(CaptureGenerator, LosingPieceCapturesAreDroppedSafeOnesKept) {
    // The knight can take a rook that a pawn guards (kept at 500 - 9810) and a pawn that a
    // pawn guards (dropped); the queen can take a pawn that a pawn guards (dropped).
    setUp("4k3/4p3/3p4/2p5/1r6/3N2Q1/8/4K3 w - - 0 1");
    const std::vector<Listed> captures = captureList();
    ASSERT_EQ(textsOf(captures), std::vector<std::string>{"d3b4"});
    EXPECT_EQ(captures[0].score, 500 - 9810);

    // The full generator writes the dropped ones with their exchange scores.
    const std::vector<Listed> all = fullList();
    ASSERT_NE(find(all, "d3c5"), nullptr);
    const int knightD = pieceSquareValue(WHITE_KNIGHT, C5) - pieceSquareValue(WHITE_KNIGHT, D3);
    EXPECT_EQ(find(all, "d3c5")->score, 100 / 2 - 210 + knightD - 30000);  // pawn retakes
    ASSERT_NE(find(all, "g3d6"), nullptr);
    const int queenD = pieceSquareValue(WHITE_QUEEN, D6) - pieceSquareValue(WHITE_QUEEN, G3);
    EXPECT_EQ(find(all, "g3d6")->score, queenD - 30790);
}

TEST(CaptureGenerator, PawnCapturesOntoTheLastRankKeepAllFourPromotions) {
    setUp("1r5k/P7/8/8/8/8/8/K7 w - - 0 1");
    const std::vector<Listed> captures = captureList();
    // a7xb8 with its four choices; the push to a8 is dropped: the rook takes the new queen.
    ASSERT_EQ(textsOf(captures), (std::vector<std::string>{"a7b8q", "a7b8n", "a7b8r", "a7b8b"}));
    EXPECT_EQ(captures[0].score, 500 - 9401);
    EXPECT_EQ(captures[3].score, 500 - 30050);
    // The full generator still has the push, as four promotions.
    EXPECT_NE(find(fullList(), "a7a8n"), nullptr);
}

TEST(CaptureGenerator, AnUnopposedPromotionPushIsTheOnlyMoveAndOnlyAsAQueen) {
    setUp("8/P6k/8/8/8/8/8/K7 w - - 0 1");
    const std::vector<Listed> captures = captureList();
    ASSERT_EQ(textsOf(captures), std::vector<std::string>{"a7a8q"});
    const int d = pieceSquareValue(WHITE_QUEEN, A8) - pieceSquareValue(WHITE_PAWN, A7);
    EXPECT_EQ(captures[0].score, d + 800 - 9500);
}

TEST(CaptureGenerator, BlackPromotionPushAndPawnCaptures) {
    setUp("7k/8/8/8/8/8/p1p5/1N5K b - - 0 1");
    const std::vector<Listed> captures = captureList();
    // Toward the a-file (to = from + 7): c2xb1; toward the h-file: a2xb1; then the queen
    // pushes, the higher square first. The knight on b1 covers neither a1 nor c1.
    const std::vector<std::string> expected = {"c2b1q", "c2b1n", "c2b1r", "c2b1b", "a2b1q",
                                               "a2b1n", "a2b1r", "a2b1b", "c2c1q", "a2a1q"};
    EXPECT_EQ(textsOf(captures), expected);
}

TEST(CaptureGenerator, KingCapturesExcludeSquaresNextToTheOtherKing) {
    setUp("8/8/8/8/8/3k4/3n4/3K4 w - - 0 1");  // the knight stands next to its king
    EXPECT_TRUE(captureList().empty());
    setUp("8/8/8/8/k7/8/3n4/3K4 w - - 0 1");  // alone, the knight can be taken
    const std::vector<Listed> captures = captureList();
    ASSERT_EQ(textsOf(captures), std::vector<std::string>{"d1d2"});
    const int d = pieceSquareValue(WHITE_KING, D2) - pieceSquareValue(WHITE_KING, D1);
    EXPECT_EQ(captures[0].score, d + pieceSquareValue(BLACK_KNIGHT, D2) + 310 - 9500);
}

TEST(CaptureGenerator, KingDoesNotTakeADefendedPiece) {
    setUp("4k3/8/8/1b6/8/8/4n3/4K3 w - - 0 1");  // the bishop on b5 guards e2
    EXPECT_TRUE(captureList().empty());
    const std::vector<Listed> all = fullList();
    ASSERT_NE(find(all, "e1e2"), nullptr);
    EXPECT_EQ(find(all, "e1e2")->score, -32767);
}

TEST(CaptureGenerator, PiecesComeKnightsBishopsRooksQueensKing) {
    // Every white piece can take an undefended black piece worth its own value or more.
    setUp("k7/r6r/4q3/5B2/R7/2r5/4Q1p1/1N4K1 w - - 0 1");
    std::vector<char> pieceOrder;
    for (const Listed& l : captureList()) {
        const char piece = ".PpNnBbRrQqKk"[pos.board[(l.text[0] - 'a') + 8 * ('8' - l.text[1])]];
        if (pieceOrder.empty() || pieceOrder.back() != piece) pieceOrder.push_back(piece);
    }
    EXPECT_EQ(std::string(pieceOrder.begin(), pieceOrder.end()), "NBRQK");
}

}  // namespace
}  // namespace vostil::movegen_test
