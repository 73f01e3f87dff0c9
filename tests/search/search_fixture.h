// Shared set-up of the search tests: positions from FEN with a cleared table, synchronous
// searches to a fixed depth, the legal moves of a position, and the log lines a search wrote.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/moves.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "common/move.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "game/engine_control.h"
#include "common/log.h"
#include "search/search.h"
#include "search/transposition_table.h"
#include "support/log_folder.h"
#include "board/board_test_support.h"

namespace vostil::testing {

// Each test logs into Vostil.log of a folder of its own, so that test processes running side
// by side never write into one another's log.
class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logFolder_.enter());
        stopFlag = false;
        wrapUpFlag = false;
        failLowFlag = false;
        // The search reports into this test's log, as the engine thread has it do.
        searchReport = [](const char* line) { logLine(line); };
    }

    void TearDown() override {
        stopFlag = false;
        wrapUpFlag = false;
        depthLimit = MAX_DEPTH_LIMIT;
        logFolder_.leave();
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
    }

    // A new game from FEN: table, history counters and killers cleared.
    static void setUpFen(const char* fen) { ASSERT_TRUE(setupGamePosition(fen, false)) << fen; }

    // One synchronous search, as the engine thread runs it, up to `depth`.
    static Move search(int depth) {
        depthLimit = depth;
        return iterativeDeepening();
    }

    static Score resultScore() { return SearchResult().score; }

    // The log as written so far by this test.
    std::vector<std::string> logLines() const { return logFolder_.logLines(); }

    bool logHas(const std::string& line) const {
        const auto lines = logLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // The search-result lines "-E: <depth>:..." in order.
    std::vector<std::string> iterationLines() const {
        std::vector<std::string> out;
        for (const std::string& line : logLines())
            if (line.rfind("-E: ", 0) == 0 && line.size() > 4 && line[4] >= '0' && line[4] <= '9')
                out.push_back(line);
        return out;
    }

private:
    LogFolder logFolder_;
};

inline bool isLegalNow(Move m) {
    const auto moves = legalMoves();
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

inline Move quiet(Square from, Square to) { return makeMoveCode(from, to, MOVE_QUIET); }
inline Move capture(Square from, Square to) { return makeMoveCode(from, to, MOVE_CAPTURE); }

// Moves played one ply deeper and taken back, as the searches do.
using boardtest::playInSearch;
using boardtest::takeBackInSearch;

}  // namespace vostil::testing
