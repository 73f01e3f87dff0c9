// Shared by the move generation tests: set up a position, play moves into the search line,
// list what a generator writes, and count legal leaves the way the search walks the tree.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "support/moves.h"
#include "board/tables.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "common/move.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"

namespace vostil::movegen_test {

using testing::listStart;
using testing::moveText;

// Sets up a FEN at the first ply with an empty search line.
inline void setUp(const std::string& fen) {
    currentPly = PlyRecords;
    ASSERT_TRUE(setupGamePosition(fen.c_str(), false)) << fen;
}

// Plays moves given as coordinate text into the search line, as the search would.
inline void playMoves(const std::vector<std::string>& moves) {
    for (const std::string& text : moves) {
        const Move m = parseCoordinateMove(text.c_str(), MoveSource::Search);
        ASSERT_NE(m, 0) << text;
        saveUndoState();
        makeMove(m);
        ++currentPly;
    }
}

struct Listed {
    std::string text;
    int score;
};

inline std::vector<Listed> listed(MoveEntry* begin, MoveEntry* end) {
    std::vector<Listed> out;
    for (MoveEntry* e = begin; e != end; ++e) out.push_back({moveText(e->move), e->score});
    return out;
}

inline std::vector<std::string> textsOf(const std::vector<Listed>& list) {
    std::vector<std::string> out;
    for (const Listed& l : list) out.push_back(l.text);
    return out;
}

inline std::vector<Listed> fullList() {
    MoveEntry* begin = listStart();
    return listed(begin, generateMoves(begin));
}

inline std::vector<Listed> captureList() {
    MoveEntry* begin = listStart();
    return listed(begin, generateCaptures(begin));
}

inline std::vector<Listed> evasionList() {
    computeCheckInfo(*currentPly);
    EXPECT_NE(currentPly->checkInfo.checkers, 0u) << "the side to move is not in check";
    MoveEntry* begin = listStart();
    return listed(begin, generateEvasions(begin, currentPly->checkInfo));
}

// Score the list gives a move, or nothing when the move is absent.
inline const Listed* find(const std::vector<Listed>& list, const std::string& text) {
    for (const Listed& l : list)
        if (l.text == text) return &l;
    return nullptr;
}

// Makes m from the current position, asks the legality test, and takes m back.
inline bool leavesKingAttacked(Move m) {
    const int mover = pos.sideToMove;
    saveUndoState();
    makeMove(m);
    ++currentPly;
    const bool attacked = isKingAttacked(m, mover);
    --currentPly;
    unmakeMove(m);
    return attacked;
}

}  // namespace vostil::movegen_test
