// Static exchange: the score bands a chess player would expect for winning, even and losing
// captures. The positional term d is taken from the evaluation's own piece-square values,
// so these expectations hold whatever the tables contain.
#include "eval/evaluate.h"
#include "movegen/static_exchange.h"
#include "movegen_helpers.h"

namespace vostil::movegen_test {
namespace {

// The exchange of moving the piece on `from` to `to`, with every slider on the board.
int exchange(Square from, Square to) {
    const Bitboard queens = pos.pieceBoards[WHITE_QUEEN] | pos.pieceBoards[BLACK_QUEEN];
    const Bitboard rooks = pos.pieceBoards[WHITE_ROOK] | pos.pieceBoards[BLACK_ROOK] | queens;
    const Bitboard bishops = pos.pieceBoards[WHITE_BISHOP] | pos.pieceBoards[BLACK_BISHOP] | queens;
    return staticExchange(pos.board[from], from, to, rooks, bishops);
}

// What the piece gains in position by moving (before the board changes).
int positional(Square from, Square to, PieceCode arriving) {
    return pieceSquareValue(arriving, to) - pieceSquareValue(pos.board[from], from);
}

TEST(StaticExchange, QueenTakesAnUndefendedPawn) {
    setUp("k7/8/8/3p4/8/8/8/3QK3 w - - 0 1");
    const int d = positional(D1, D5, WHITE_QUEEN);
    EXPECT_EQ(exchange(D1, D5), d + pieceSquareValue(BLACK_PAWN, D5) + 100 - 9500);
}

TEST(StaticExchange, QueenTakesAPawnDefendedByAPawn) {
    setUp("k7/8/4p3/3p4/8/8/8/3QK3 w - - 0 1");
    const int d = positional(D1, D5, WHITE_QUEEN);
    // The pawn retakes: gain 940 - 100 = 840, more than the pawn risks, so it stops there.
    EXPECT_EQ(exchange(D1, D5), 100 / 2 - 840 + d - 30000);
    EXPECT_EQ(exchange(D1, D5), d - 30790);
}

TEST(StaticExchange, RookTakesABishopDefendedOnlyByAQueen) {
    setUp("k7/8/8/q2b4/8/8/8/3RK3 w - - 0 1");
    const int d = positional(D1, D5, WHITE_ROOK);
    // Gains 315, then 185 for the queen; the queen's side keeps it: the rook loses 185.
    EXPECT_EQ(exchange(D1, D5), d - 30185);
}

TEST(StaticExchange, RookTakesABishopWhenAnOwnPawnCanTakeTheRecapturingQueen) {
    setUp("k7/8/8/q2b4/4P3/8/8/3RK3 w - - 0 1");
    const int d = positional(D1, D5, WHITE_ROOK);
    // The third capture wins 755 for the side to move: the first gain stands.
    EXPECT_EQ(exchange(D1, D5), d + pieceSquareValue(BLACK_BISHOP, D5) + 315 - 9500);
}

TEST(StaticExchange, BlackSeesTheSameExchangeMirrored) {
    setUp("3rk3/8/8/4p3/Q2B4/8/8/K7 b - - 0 1");
    const int d = positional(D8, D4, BLACK_ROOK);
    EXPECT_EQ(exchange(D8, D4), d + pieceSquareValue(WHITE_BISHOP, D4) + 315 - 9500);
}

TEST(StaticExchange, RookTakesAKnightDefendedByAPawn) {
    setUp("k7/8/4p3/3n4/8/8/8/3RK3 w - - 0 1");
    const int d = positional(D1, D5, WHITE_ROOK);
    EXPECT_EQ(exchange(D1, D5), 100 / 2 - 190 + d - 30000);
    EXPECT_EQ(exchange(D1, D5), d - 30140);
}

TEST(StaticExchange, UnopposedPromotionPushGainsAQueen) {
    setUp("8/P7/8/8/8/8/8/k6K w - - 0 1");
    const int d = positional(A7, A8, WHITE_QUEEN);
    EXPECT_EQ(exchange(A7, A8), d + 800 - 9500);

    setUp("7K/8/8/8/8/8/p7/7k b - - 0 1");
    EXPECT_EQ(exchange(A2, A1), positional(A2, A1, BLACK_QUEEN) + 800 - 9500);
}

TEST(StaticExchange, KingTakingADefendedPieceIsAlwaysWorst) {
    setUp("4k3/8/8/1b6/8/8/4n3/4K3 w - - 0 1");
    EXPECT_EQ(exchange(E1, E2), -32767);
    // Undefended, the king simply wins the piece.
    setUp("4k3/8/8/8/8/8/4n3/4K3 w - - 0 1");
    EXPECT_EQ(exchange(E1, E2),
              positional(E1, E2, WHITE_KING) + pieceSquareValue(BLACK_KNIGHT, E2) + 310 - 9500);
}

// A second rook behind the first is found by the x-ray once the first has captured.
TEST(StaticExchange, ARookBehindTheCapturingRookJoinsTheExchange) {
    setUp("k2r4/8/3p4/8/8/8/3R4/3RK3 w - - 0 1");
    const int d = positional(D2, D6, WHITE_ROOK);
    // Rxd6 Rxd6 Rxd6: white ends a pawn up.
    EXPECT_EQ(exchange(D2, D6), d + pieceSquareValue(BLACK_PAWN, D6) + 100 - 9500);

    setUp("k2r4/8/3p4/8/8/8/3R4/4K3 w - - 0 1");
    // Alone, the rook is lost for the pawn.
    EXPECT_EQ(exchange(D2, D6), positional(D2, D6, WHITE_ROOK) - 400 - 30000);
}

// When a queen recaptures, the rook behind it joins in, although its side's search for the
// least valuable attacker had already passed the rooks. Nxd5 Rxd5 Qxd5 Qxd5 Rxd5: white
// keeps the pawn.
TEST(StaticExchange, ARookRevealedBehindARecapturingQueenIsFoundAgain) {
    setUp("k2q4/8/8/3p3r/5N2/3Q4/3R4/6K1 w - - 0 1");
    const int d = positional(F4, D5, WHITE_KNIGHT);
    EXPECT_EQ(exchange(F4, D5), d + pieceSquareValue(BLACK_PAWN, D5) + 100 - 9500);
}

TEST(StaticExchange, SmallLossesCountAsWinningAndAnExactTradeAsEven) {
    // Bishop takes a knight that a pawn retakes: the bishop's side is down 5, within the
    // margin, so the capture still ranks with the winning ones.
    setUp("k7/8/4p3/3n4/8/8/B7/4K3 w - - 0 1");
    const int d = positional(A2, D5, WHITE_BISHOP);
    EXPECT_EQ(exchange(A2, D5), d + pieceSquareValue(BLACK_KNIGHT, D5) - 5 - 9500);

    // Knight takes a knight that a pawn retakes: exactly even.
    setUp("k7/8/4p3/3n4/8/4N3/8/4K3 w - - 0 1");
    EXPECT_EQ(exchange(E3, D5), positional(E3, D5, WHITE_KNIGHT) - 29985);

    // With a pawn of its own to retake, the knight's side comes out a pawn ahead.
    setUp("k7/8/4p3/3n4/2P5/4N3/8/4K3 w - - 0 1");
    EXPECT_EQ(exchange(E3, D5), positional(E3, D5, WHITE_KNIGHT) +
                                    pieceSquareValue(BLACK_KNIGHT, D5) + 100 - 9500);
}

TEST(StaticExchange, TheLeastValuableDefenderRecapturesFirst) {
    // The pawn on d5 is guarded by a rook and a pawn. The pawn retakes; had the rook
    // retaken, the cut-off would have given 500 / 2 - 840 + d - 30000 = d - 30590.
    setUp("k2r4/8/4p3/3p4/8/8/8/3QK3 w - - 0 1");
    EXPECT_EQ(exchange(D1, D5), positional(D1, D5, WHITE_QUEEN) - 30790);
}

}  // namespace
}  // namespace vostil::movegen_test
