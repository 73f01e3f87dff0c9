// Game moves: played for good, copied into the game position, settled at once after
// castling, and logged by their new key.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/play_game_move.h"
#include "board/position.h"
#include "board/tables.h"
#include "board_test_support.h"
#include "common/log.h"
#include "search/search.h"
#include "support/log_folder.h"

namespace vostil {
namespace {

using boardtest::move;
using boardtest::setUp;

// Each test writes Vostil.log in a folder of its own, so that test processes running side by
// side cannot truncate one another's log.
class ApplyGameMove : public ::testing::Test {
protected:
    void SetUp() override {
        // The log is opened beside the program before anything else runs.
        ASSERT_TRUE(std::ifstream("Vostil.log").good());
        ASSERT_TRUE(logFolder_.enter());
    }

    void TearDown() override { logFolder_.leave(); }

    std::vector<std::string> logLines() const { return logFolder_.logLines(); }

    static std::string keyLine() {
        char text[32];
        std::snprintf(text, sizeof text, "%x %x", pos.keyHigh, pos.keyLow);
        return text;
    }

    // Between searches the search fields describe the game position.
    static void expectSearchFieldsMatchTheGame() {
        EXPECT_EQ(std::memcmp(pos.board, pos.rootBoard, sizeof pos.board), 0);
        EXPECT_EQ(pos.sideToMove, pos.rootSide);
        EXPECT_EQ(pos.castleFlags, pos.rootCastleFlags);
        EXPECT_EQ(pos.epSquare, pos.rootEpSquare);
    }

private:
    vostil::testing::LogFolder logFolder_;
};

TEST_F(ApplyGameMove, FirstMoveOfTheGame) {
    setUp(START_FEN);
    playGameMove(move(E2, E4));
    EXPECT_EQ(pos.rootSide, BLACK);
    EXPECT_EQ(pos.rootEpSquare, E3);
    EXPECT_EQ(pos.rootBoard[E2], EMPTY);
    EXPECT_EQ(pos.rootBoard[E4], WHITE_PAWN);
    EXPECT_EQ(historyTop - GameHistory, 1) << "two history entries";
    EXPECT_EQ(historyTop->keyLow, pos.keyLow);
    expectSearchFieldsMatchTheGame();

    const std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], keyLine());
    EXPECT_EQ(lines[0].find_first_not_of("0123456789abcdef "), std::string::npos);
}

TEST_F(ApplyGameMove, EveryGameMoveLogsItsKeyAndLeavesTheLogInDecimal) {
    setUp(START_FEN);
    std::vector<std::string> expected;
    for (Move m : {move(G1, F3), move(G8, F6), move(F3, G1), move(F6, G8)}) {
        playGameMove(m);
        expected.push_back(keyLine());
        expectSearchFieldsMatchTheGame();
    }
    logLine("number ", 255);
    expected.push_back("number 255");
    EXPECT_EQ(logLines(), expected);
    // Back where the game started: the same key, four reversible moves later.
    EXPECT_EQ(historyTop - GameHistory, 4);
    EXPECT_EQ(historyTop->keyLow, GameHistory[0].keyLow);
    EXPECT_EQ(historyTop->keyHigh, GameHistory[0].keyHigh);
    EXPECT_EQ(historyTop->fiftyCounter, 4);
}

TEST_F(ApplyGameMove, NoMoveChangesNothing) {
    setUp(START_FEN);
    playGameMove(move(D2, D4));
    const Position before = pos;
    HistoryEntry* const top = historyTop;
    const std::vector<std::string> logBefore = logLines();
    historyScores[WHITE][7] = 5;
    playGameMove(0);
    EXPECT_TRUE(pos == before);
    EXPECT_EQ(historyTop, top);
    EXPECT_EQ(logLines(), logBefore);
    EXPECT_EQ(historyScores[WHITE][7], 5);
    historyScores[WHITE][7] = 0;
}

TEST_F(ApplyGameMove, WhiteCastlingIsSettledAtOnceWithoutTouchingTheKey) {
    setUp("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -");
    const uint64_t key = hashKey();
    playGameMove(CASTLE_WK_MOVE);
    EXPECT_EQ(pos.castleFlags, 0x58);
    EXPECT_EQ(pos.rootCastleFlags, 0x58);
    EXPECT_EQ(pos.kingSquare[WHITE], G1);
    EXPECT_EQ(hashKey(), key ^ ZOBRIST[0][C1] ^ ZOBRIST[WHITE_KING][E1] ^ ZOBRIST[WHITE_KING][G1] ^
                             ZOBRIST[WHITE_ROOK][H1] ^ ZOBRIST[WHITE_ROOK][F1]);
    EXPECT_TRUE(positionIsConsistent());
    expectSearchFieldsMatchTheGame();
    EXPECT_EQ(logLines().back(), keyLine());
}

TEST_F(ApplyGameMove, EachCastlingKeepsOnlyItsShortOrLongRecord) {
    const struct {
        const char* fen;
        Move move;
        uint16_t flags;
        int side;
        Square king;
    } cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", CASTLE_WQ_MOVE, 0x98, WHITE, C1},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", CASTLE_BK_MOVE, 0x103, BLACK, G8},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", CASTLE_BQ_MOVE, 0x203, BLACK, C8},
        {"r3k2r/8/8/8/8/8/8/R3K2R b Kk -", CASTLE_BK_MOVE, 0x101, BLACK, G8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen);
        setUp(c.fen);
        playGameMove(c.move);
        EXPECT_EQ(pos.castleFlags, c.flags);
        EXPECT_EQ(pos.rootCastleFlags, c.flags);
        EXPECT_EQ(pos.kingSquare[c.side], c.king);
        EXPECT_TRUE(positionIsConsistent());
    }
}

TEST_F(ApplyGameMove, HistoryCountersAreEmptiedButKillersKept) {
    setUp(START_FEN);
    historyScores[WHITE][100] = 40;
    historyScores[BLACK][4000] = 12;
    PlyRecords[3].killer1 = move(B1, C3);
    playGameMove(move(E2, E4));
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 4096; ++i) ASSERT_EQ(historyScores[side][i], 0) << side << " " << i;
    EXPECT_EQ(PlyRecords[3].killer1, move(B1, C3));
    PlyRecords[3].killer1 = 0;
}

TEST_F(ApplyGameMove, AGameContinuesOnTopOfTheHistory) {
    setUp(START_FEN);
    const Move moves[] = {move(E2, E4), move(D7, D5), move(E4, D5, MOVE_CAPTURE), move(G8, F6),
                          move(F1, B5), move(C7, C6), move(D5, C6, MOVE_CAPTURE),
                          move(B8, C6, MOVE_CAPTURE), move(G1, F3), move(E7, E5),
                          CASTLE_WK_MOVE};
    int plies = 0;
    for (Move m : moves) {
        playGameMove(m);
        ++plies;
        ASSERT_TRUE(positionIsConsistent()) << plies;
        EXPECT_EQ(historyTop - GameHistory, plies);
        EXPECT_EQ(historyTop->keyLow, pos.keyLow);
        expectSearchFieldsMatchTheGame();
    }
    EXPECT_EQ(pos.rootEpSquare, 0);
    EXPECT_EQ(pos.castleFlags, RIGHT_BK | RIGHT_BQ | WHITE_CASTLED_SHORT);
    EXPECT_EQ(pos.totalMaterial, 78 - 1 - 1 - 1);
    EXPECT_EQ(logLines().size(), std::size(moves));
    char fen[96];
    positionToFen(fen);
    EXPECT_STREQ(fen, "r1bqkb1r/pp3ppp/2n2n2/1B2p3/8/5N2/PPPP1PPP/RNBQ1RK1 b kq -");
}

}  // namespace
}  // namespace vostil
