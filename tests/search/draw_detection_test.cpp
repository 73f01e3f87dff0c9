// Draws by dead material, the fifty-move rule and repetition; the trial of a quiet move.
#include <gtest/gtest.h>

#include "board/make_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "common/move.h"
#include "search/draw_detection.h"

namespace vostil {
namespace {

void setUp(const char* fen) { ASSERT_TRUE(setupGamePosition(fen, false)) << fen; }

void play(Square from, Square to, int kind = MOVE_QUIET) { makeMove(makeMoveCode(from, to, kind)); }

// Both knights out and back: the start position again after four quiet moves.
void knightShuffle() {
    play(G1, F3);
    play(G8, F6);
    play(F3, G1);
    play(F6, G8);
}

// --- Dead material -------------------------------------------------------------------------

TEST(DrawByMaterial, BareKingsAndALoneMinorPieceAreDrawn) {
    for (const char* fen : {"4k3/8/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/1N2K3 b - -",
                            "4k3/8/8/8/8/8/8/2B1K3 w - -", "4k3/8/6n1/8/8/8/8/4K3 w - -",
                            "2b1k3/8/8/8/8/8/8/4K3 b - -"}) {
        setUp(fen);
        EXPECT_TRUE(isDraw(1)) << fen;
        EXPECT_TRUE(isDraw(2)) << fen;
    }
}

TEST(DrawByMaterial, TwoKnightsARookOrAPawnAreNotCoveredByTheRule) {
    for (const char* fen : {"4k3/8/8/8/8/8/8/1N2KN2 w - -", "4k3/8/8/8/8/8/8/R3K3 w - -",
                            "4k3/8/8/8/8/8/4P3/4K3 w - -", "4k3/4p3/8/8/8/8/8/4K3 w - -",
                            "4k3/8/8/8/8/8/8/1N1nK3 w - -"}) {
        setUp(fen);
        EXPECT_FALSE(isDraw(1)) << fen;
    }
}

TEST(DrawByMaterial, MaterialRuleHoldsWhateverTheHistory) {
    setUp("4k3/8/8/8/8/8/8/1N2K3 w - -");
    play(B1, C3);
    play(E8, D8);
    EXPECT_TRUE(isDraw(2));
}

// --- Repetition -------------------------------------------------------------------------------

TEST(DrawByRepetition, KnightShuffleRepeatsTheStartPositionOnce) {
    setUp(START_FEN);
    play(G1, F3);
    play(G8, F6);
    play(F3, G1);
    EXPECT_FALSE(isDraw(1)) << "three plies cannot repeat anything";
    play(F6, G8);
    EXPECT_EQ(historyTop->fiftyCounter, 4);
    EXPECT_TRUE(isDraw(1));
    EXPECT_FALSE(isDraw(2));
}

TEST(DrawByRepetition, SecondCycleMakesTheThirdOccurrence) {
    setUp(START_FEN);
    knightShuffle();
    play(G1, F3);
    EXPECT_TRUE(isDraw(1)) << "after Nf3 a second time";
    EXPECT_FALSE(isDraw(2));
    play(G8, F6);
    play(F3, G1);
    EXPECT_FALSE(isDraw(2));
    play(F6, G8);
    EXPECT_TRUE(isDraw(2));
    EXPECT_TRUE(isDraw(1));
}

TEST(DrawByRepetition, PositionsWithTheOtherSideToMoveDoNotCount) {
    setUp("4k3/8/8/8/8/8/8/R3K3 w - -");
    // White triangulates: the placement of the start comes back with Black to move.
    play(E1, D1);
    play(E8, D8);
    play(D1, D2);
    play(D8, E8);
    play(D2, E1);
    ASSERT_EQ(historyTop->keyLow, GameHistory[0].keyLow);
    ASSERT_EQ(historyTop->keyHigh, GameHistory[0].keyHigh);
    EXPECT_FALSE(isDraw(1));
}

TEST(DrawByRepetition, PawnMoveStartsANewRun) {
    setUp(START_FEN);
    play(E2, E3);
    play(E7, E6);
    EXPECT_EQ(historyTop->fiftyCounter, 0);
    knightShuffle();
    EXPECT_TRUE(isDraw(1)) << "the position after 1.e3 e6 came back";
    EXPECT_FALSE(isDraw(2));
}

TEST(DrawByRepetition, PositionWithAnEnPassantChanceIsADifferentPosition) {
    setUp(START_FEN);
    play(E2, E4);
    play(E7, E5);  // e6 is the en-passant square in this position only
    knightShuffle();
    EXPECT_FALSE(isDraw(1));
    knightShuffle();
    EXPECT_TRUE(isDraw(1));
    EXPECT_FALSE(isDraw(2));
}

TEST(DrawByRepetition, LostCastlingRightMakesADifferentPosition) {
    setUp("r3k3/8/8/8/8/8/8/R3K3 w Qq -");
    play(E1, D1);
    play(E8, D8);
    play(D1, E1);
    play(D8, E8);
    EXPECT_FALSE(isDraw(1)) << "the same squares, but neither side can castle any more";
    play(E1, D1);
    play(E8, D8);
    play(D1, E1);
    play(D8, E8);
    EXPECT_TRUE(isDraw(1));
    EXPECT_FALSE(isDraw(2));
}

// The walk ends at the last capture: nothing played before it is looked at. A position from
// before the capture cannot come back in a real game, so the earlier key is planted.
TEST(DrawByRepetition, CaptureCutsTheWalk) {
    setUp("4k3/8/8/3p4/8/8/1N6/4K2n w - -");
    play(B2, D3);                 // 1
    play(E8, E7);                 // 2
    play(D3, F2);                 // 3
    play(E7, E8);                 // 4
    play(F2, H1, MOVE_CAPTURE);   // 5: knight takes knight
    ASSERT_EQ(historyTop->fiftyCounter, 0);
    play(E8, D8);                 // 6
    play(H1, G3);                 // 7
    play(D8, E8);                 // 8
    play(G3, H1);                 // 9: the position after the capture, Black to move again
    ASSERT_EQ(historyTop->fiftyCounter, 4);
    EXPECT_TRUE(isDraw(1)) << "the capture's own position is part of the run";

    HistoryEntry& afterCapture = GameHistory[5];
    const HistoryEntry saved = afterCapture;
    afterCapture.keyLow ^= 1;
    EXPECT_FALSE(isDraw(1));
    GameHistory[3].keyLow = historyTop->keyLow;  // same side to move, before the capture
    GameHistory[3].keyHigh = historyTop->keyHigh;
    EXPECT_FALSE(isDraw(1)) << "positions before the capture are not seen";
    GameHistory[7].keyLow = historyTop->keyLow;  // and one inside the run is
    GameHistory[7].keyHigh = historyTop->keyHigh;
    EXPECT_TRUE(isDraw(1));
    afterCapture = saved;
}

// --- Fifty-move rule ------------------------------------------------------------------------------

// A consistent history of `plies` quiet moves with all-different keys: no repetition.
void quietRunOf(int plies) {
    setUp(START_FEN);
    for (int i = 0; i <= plies; ++i) {
        GameHistory[i].keyLow = 0x9E3779B9u * uint32_t(i + 1);
        GameHistory[i].keyHigh = 0x85EBCA6Bu ^ uint32_t(i);
        GameHistory[i].fiftyCounter = uint16_t(i);
    }
    historyTop = GameHistory + plies;
}

TEST(DrawByFiftyMoves, HundredQuietPliesDraw) {
    quietRunOf(100);
    EXPECT_TRUE(isDraw(1));
    EXPECT_TRUE(isDraw(2));
    setUp(START_FEN);
}

TEST(DrawByFiftyMoves, NinetyNineQuietPliesAreLeftToTheRepetitionWalk) {
    quietRunOf(99);
    EXPECT_FALSE(isDraw(1));
    GameHistory[1] = GameHistory[99];  // the same position, same side to move, 98 plies ago
    GameHistory[1].fiftyCounter = 1;
    EXPECT_TRUE(isDraw(1));
    EXPECT_FALSE(isDraw(2));
    setUp(START_FEN);
}

// --- Trying a move without making it -------------------------------------------------------

TEST(MoveRepeats, QuietMoveBackIntoTheStartPositionRepeats) {
    setUp(START_FEN);
    play(G1, F3);
    play(G8, F6);
    play(F3, G1);
    HistoryEntry* const top = historyTop;
    const HistoryEntry above = top[1];
    EXPECT_TRUE(moveRepeats(makeMoveCode(F6, G8, MOVE_QUIET), 1));
    EXPECT_FALSE(moveRepeats(makeMoveCode(F6, G8, MOVE_QUIET), 2));
    EXPECT_FALSE(moveRepeats(makeMoveCode(F6, H5, MOVE_QUIET), 1));
    EXPECT_EQ(historyTop, top);
    EXPECT_EQ(top[1].keyLow, above.keyLow);
    EXPECT_EQ(top[1].keyHigh, above.keyHigh);
    EXPECT_EQ(top[1].fiftyCounter, above.fiftyCounter);
}

TEST(MoveRepeats, AgreesWithMakingTheMove) {
    setUp(START_FEN);
    knightShuffle();
    play(G1, F3);
    play(G8, F6);
    play(F3, G1);
    const bool predicted = moveRepeats(makeMoveCode(F6, G8, MOVE_QUIET), 2);
    play(F6, G8);
    EXPECT_TRUE(predicted);
    EXPECT_EQ(predicted, isDraw(2));
}

TEST(MoveRepeats, OnlyQuietMovesAreTried) {
    setUp(START_FEN);
    play(G1, F3);
    play(G8, F6);
    play(F3, G1);
    // The same displacement labelled as a capture is not tried.
    EXPECT_FALSE(moveRepeats(makeMoveCode(F6, G8, MOVE_CAPTURE), 1));

    setUp("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    EXPECT_FALSE(moveRepeats(CASTLE_WK_MOVE, 1));
    EXPECT_FALSE(moveRepeats(CASTLE_WQ_MOVE, 1));
}

TEST(MoveRepeats, PawnMoveNeverRepeats) {
    setUp("4k3/8/8/8/8/8/4P3/4K3 w - -");
    for (int i = 0; i <= 99; ++i) GameHistory[i].fiftyCounter = uint16_t(i);
    historyTop = GameHistory + 99;
    // Without the pawn move the run would reach a hundred plies.
    EXPECT_TRUE(moveRepeats(makeMoveCode(E1, D1, MOVE_QUIET), 1));
    EXPECT_FALSE(moveRepeats(makeMoveCode(E2, E3, MOVE_QUIET), 1));
    setUp(START_FEN);
}

}  // namespace
}  // namespace vostil
