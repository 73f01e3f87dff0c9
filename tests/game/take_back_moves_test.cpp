// Takebacks and long games: a game taken back is the game replayed without those moves, in
// every field that play and draw detection read; a game longer than the history keeps what
// draw detection needs, and the takeback store keeps within its bound.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "board/parse_coordinate_move.h"
#include "board/position.h"
#include "game/game_record.h"
#include "game/hand_move_to.h"
#include "game/play_game_move.h"
#include "game/setup_game_position.h"
#include "search/draw_detection.h"
#include "search/transposition_table.h"
#include "support/log_folder.h"
#include "support/moves.h"

namespace vostil {
namespace {

// Everything a takeback must restore: the position with its keys, root fields, castling,
// en passant and material, the history entries draw detection walks, and the ply pointer.
struct GameState {
    Position position;
    std::vector<HistoryEntry> history;
    int recordedMoves;
    bool atFirstPly;
};

GameState currentState() {
    GameState s{pos, {}, gameRecord.moveCount, currentPly == PlyRecords};
    s.history.assign(GameHistory, historyTop + 1);
    return s;
}

void expectSameState(const GameState& a, const GameState& b, const std::string& where) {
    EXPECT_TRUE(a.position == b.position) << where;
    ASSERT_EQ(a.history.size(), b.history.size()) << where;
    for (size_t i = 0; i < a.history.size(); ++i) {
        EXPECT_EQ(a.history[i].keyLow, b.history[i].keyLow) << where << " entry " << i;
        EXPECT_EQ(a.history[i].keyHigh, b.history[i].keyHigh) << where << " entry " << i;
        EXPECT_EQ(a.history[i].fiftyCounter, b.history[i].fiftyCounter) << where << " entry " << i;
    }
    EXPECT_EQ(a.recordedMoves, b.recordedMoves) << where;
    EXPECT_TRUE(a.atFirstPly && b.atFirstPly) << where;
}

Move move(const char* text) { return parseCoordinateMove(text, MoveSource::Root); }

void playAll(const std::vector<Move>& moves, size_t count) {
    for (size_t i = 0; i < count; ++i) playGameMove(moves[i]);
}

class TakeBack : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.enter()); }  // game moves write the log
    void TearDown() override { folder_.leave(); }

private:
    testing::LogFolder folder_;
};

const char* const STARTS[] = {
    START_FEN,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
};

TEST_F(TakeBack, RandomGamesTakenBackEqualTheSameGamesReplayedShorter) {
    std::mt19937 random(20261208);
    int takebacks = 0;
    for (const char* start : STARTS) {
        for (int game = 0; game < 12; ++game) {
            // The start position loads its book, which a takeback loads again.
            const bool book = start == START_FEN;
            ASSERT_TRUE(setupGamePosition(start, book, BookErrors::LogOnly));
            std::vector<Move> moves;
            const int plies = 1 + int(random() % 80);
            for (int i = 0; i < plies; ++i) {
                const std::vector<Move> legal = testing::legalMoves();
                if (legal.empty()) break;
                moves.push_back(legal[random() % legal.size()]);
                playGameMove(moves.back());
            }
            // Several takebacks of random length, each compared with a fresh replay.
            size_t played = moves.size();
            while (played > 0) {
                const int k = 1 + int(random() % 3);
                const int taken = takeBackMoves(k);
                EXPECT_EQ(taken, std::min<int>(k, int(played)));
                played -= size_t(taken);
                ++takebacks;
                const GameState afterTakeBack = currentState();
                EXPECT_TRUE(positionIsConsistent());

                ASSERT_TRUE(setupGamePosition(start, false));
                playAll(moves, played);
                expectSameState(afterTakeBack, currentState(),
                                std::string(start) + " after " + std::to_string(played) + " moves");
                // Back to where the takebacks were, for the next one.
                ASSERT_TRUE(setupGamePosition(start, book, BookErrors::LogOnly));
                playAll(moves, played);
            }
            // Nothing left to take back: nothing changes.
            const GameState empty = currentState();
            EXPECT_EQ(takeBackMoves(1), 0);
            EXPECT_EQ(takeBackMoves(2), 0);
            expectSameState(empty, currentState(), std::string(start) + " with nothing to take back");
        }
    }
    EXPECT_GT(takebacks, 100);
}

TEST_F(TakeBack, TheBookAnswersAgainOncePlayIsBackInIt) {
    ASSERT_TRUE(setupGamePosition(START_FEN, true, BookErrors::LogOnly));
    ASSERT_TRUE(gameRecord.bookAtBase) << "the build's book is beside the test program";
    playGameMove(move("e2e4"));
    playGameMove(move("e7e5"));
    clearHash();  // as if searches had overwritten every book entry
    EXPECT_EQ(findEntry(), nullptr);
    EXPECT_EQ(takeBackMoves(2), 2);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isBookEntry());
    EXPECT_TRUE(isLegalMove(entry->move()));
}

TEST_F(TakeBack, TakebacksReachBackAcrossHandingTheMoveOver) {
    ASSERT_TRUE(setupGamePosition("rnbqkbnr/pppppppp/8/4P3/8/8/PPPP1PPP/RNBQKBNR b KQkq -", false));
    const GameState start = currentState();
    handMoveTo(BLACK);  // already to move: nothing changes
    expectSameState(start, currentState(), "black to move already");
    playGameMove(move("f7f5"));
    const GameState afterF5 = currentState();
    handMoveTo(BLACK);
    handMoveTo(WHITE);
    expectSameState(afterF5, currentState(), "handed over and back");
    EXPECT_NE(pos.epSquare, 0) << "the en-passant square of f7f5 stays through a hand-over and back";
    handMoveTo(BLACK);
    const GameState handedOver = currentState();
    EXPECT_EQ(pos.epSquare, 0) << "the en-passant square was white's";
    playGameMove(move("d7d5"));
    EXPECT_EQ(takeBackMoves(1), 1);
    expectSameState(handedOver, currentState(), "taken back to the hand-over");
    EXPECT_EQ(takeBackMoves(1), 1);
    expectSameState(start, currentState(), "taken back across the hand-over");
    EXPECT_EQ(takeBackMoves(1), 0);
}

// Knights out and back: every fourth ply repeats the start placement, nothing is ever taken.
std::vector<Move> knightShuffle(int plies) {
    // Read in the position it is played in, each move is quiet: spelt out here, since the
    // words read in the start position would make f6g8 a capture.
    const auto quiet = [](Square from, Square to) { return Move(from << 6 | to); };
    const Square g1 = 62, f3 = 45, g8 = 6, f6 = 21;
    const Move cycle[4] = {quiet(g1, f3), quiet(g8, f6), quiet(f3, g1), quiet(f6, g8)};
    std::vector<Move> moves;
    for (int i = 0; i < plies; ++i) moves.push_back(cycle[i % 4]);
    return moves;
}

TEST_F(TakeBack, AGameLongerThanTheHistoryKeepsWhatDrawDetectionReads) {
    // Game A shuffles knights past the history's end, then plays a short game; game B plays
    // the short game alone. Draw detection must say the same in both after every move.
    const int shuffle = 4 * (GAME_HISTORY_SIZE / 4) + 1000;
    const char* tail[] = {"e2e4", "e7e5", "g1f3", "b8c6", "f3g1", "c6b8", "g1f3", "b8c6",
                          "f3g1", "c6b8", "g1f3", "b8c6", "f3g1", "c6b8"};
    std::vector<std::vector<bool>> answers[2];
    for (int game = 0; game < 2; ++game) {
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
        if (game == 0) {
            for (Move m : knightShuffle(shuffle)) {
                playGameMove(m);
                ASSERT_LT(historyTop - GameHistory, GAME_HISTORY_LIMIT + 1);
            }
            EXPECT_TRUE(isDraw(ROOT_REPETITION_COUNT)) << "a long shuffle is a draw";
            EXPECT_TRUE(positionIsConsistent());
        }
        for (const char* text : tail) {
            playGameMove(move(text));
            answers[game].push_back({isDraw(1), isDraw(ROOT_REPETITION_COUNT),
                                     moveRepeats(move("g1f3"), 1), moveRepeats(move("b8c6"), 1)});
        }
    }
    EXPECT_EQ(answers[0], answers[1]);
    EXPECT_TRUE(answers[0].back()[1]) << "the third repetition after the last pawn move";
}

TEST_F(TakeBack, TheTakebackStoreEndsWhereTheHistorySlid) {
    ASSERT_TRUE(setupGamePosition(START_FEN, false));
    const std::vector<Move> moves = knightShuffle(GAME_HISTORY_LIMIT + 12);
    playAll(moves, moves.size() - 4);
    const GameState before = currentState();
    playAll(std::vector<Move>(moves.end() - 4, moves.end()), 4);
    EXPECT_EQ(takeBackMoves(4), 4);
    expectSameState(before, currentState(), "four moves after the slide taken back");
    // Only the moves since the history slid can be taken back.
    EXPECT_EQ(takeBackMoves(GAME_RECORD_SIZE), 8);
    EXPECT_EQ(takeBackMoves(1), 0);
    EXPECT_TRUE(positionIsConsistent());
}

}  // namespace
}  // namespace vostil
