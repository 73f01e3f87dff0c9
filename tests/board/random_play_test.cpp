// Random games from varied positions: every move the generators offer is made and taken back
// at every node along the way, and the whole line is unwound at the end. Any drift between
// the board and its redundant views, the keys or the history shows up at the move that
// caused it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "support/moves.h"
#include "board/position.h"
#include "board/tables.h"
#include "board_test_support.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"

namespace vostil {
namespace {

using boardtest::KeyModel;
using boardtest::Snapshot;
using testing::moveText;

// Deep enough for long lines, well inside the ply records.
constexpr int MAX_LINE_PLIES = 60;
constexpr int GAMES_PER_POSITION = 5;

const char* const POSITIONS[] = {
    START_FEN,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -",
    "r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq -",
};

// Every move the generator offers here, legal or not: the searches make them all.
std::vector<Move> generatedMoves() {
    MoveEntry list[MAX_MOVES_PER_PLY];
    computeCheckInfo(*currentPly);
    MoveEntry* end = generateFullWidth(list, currentPly->checkInfo);
    std::vector<Move> moves;
    for (MoveEntry* e = list; e != end; ++e) moves.push_back(e->move);
    return moves;
}

bool isPawn(PieceCode c) { return c == WHITE_PAWN || c == BLACK_PAWN; }

// One make with every check that can be made right after it.
void checkMadeMove(Move m, const Snapshot& before, const KeyModel& modelAfter, PieceCode mover) {
    ASSERT_TRUE(positionIsConsistent()) << moveText(m);
    ASSERT_EQ(historyTop, before.top + 1) << moveText(m);
    ASSERT_EQ(pos.sideToMove, before.position.sideToMove ^ 1) << moveText(m);
    ASSERT_EQ(hashKey(), modelAfter.expectedKey()) << moveText(m);
    ASSERT_EQ(pos.pawnKey, modelAfter.expectedPawnKey()) << moveText(m);
    const bool reversible = moveKind(m) == MOVE_QUIET && !isPawn(mover);
    ASSERT_EQ(historyTop->fiftyCounter, reversible ? before.top->fiftyCounter + 1 : 0)
        << moveText(m);
    ASSERT_EQ(pos.rootSide, before.position.rootSide);
    ASSERT_EQ(pos.rootCastleFlags, before.position.rootCastleFlags);
    ASSERT_EQ(pos.rootEpSquare, before.position.rootEpSquare);
}

// Makes and takes back every generated move of the current position.
void tryEveryMove(const std::vector<Move>& moves, const KeyModel& model) {
    const Snapshot here = Snapshot::take();
    for (Move m : moves) {
        const uint16_t flags = pos.castleFlags;
        const int ep = pos.epSquare;
        const PieceCode mover = pos.board[moveFrom(m)];
        saveUndoState();
        makeMove(m);
        KeyModel after = model;
        after.afterMove(flags, ep);
        checkMadeMove(m, here, after, mover);
        unmakeMove(m);
        ASSERT_TRUE(pos == here.position) << "not restored after " << moveText(m);
        ASSERT_EQ(historyTop, here.top) << moveText(m);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

struct LineStep {
    Move move;
    Snapshot before;
    KeyModel model;
};

// Plays one random game line from `fen`, then unwinds it; returns the plies played.
int playRandomLine(const char* fen, unsigned seed) {
    boardtest::setUp(fen);
    std::mt19937 random(seed);
    KeyModel model;
    std::vector<LineStep> line;
    while (int(line.size()) < MAX_LINE_PLIES) {
        const std::vector<Move> moves = generatedMoves();
        std::vector<Move> legal;
        for (Move m : moves)
            if (isLegalMove(m)) legal.push_back(m);
        tryEveryMove(moves, model);
        if (::testing::Test::HasFatalFailure() || legal.empty()) break;

        const Move chosen = legal[random() % legal.size()];
        line.push_back({chosen, Snapshot::take(), model});
        const uint16_t flags = pos.castleFlags;
        const int ep = pos.epSquare;
        const PieceCode mover = pos.board[moveFrom(chosen)];
        boardtest::playInSearch(chosen);
        model.afterMove(flags, ep);
        checkMadeMove(chosen, line.back().before, model, mover);
        if (::testing::Test::HasFatalFailure()) break;
    }
    const int plies = int(line.size());
    std::string played;
    for (const LineStep& step : line) played += moveText(step.move) + " ";
    while (!line.empty()) {
        const LineStep step = line.back();
        line.pop_back();
        boardtest::takeBackInSearch(step.move);
        boardtest::expectRestored(step.before, "unwinding " + moveText(step.move) + " of " + played);
        if (::testing::Test::HasFailure()) break;
    }
    return plies;
}

TEST(RandomPlay, MakeAndUnmakeStayExactAlongRandomGames) {
    unsigned seed = 1;
    int totalPlies = 0;
    for (const char* fen : POSITIONS) {
        for (int game = 0; game < GAMES_PER_POSITION; ++game) {
            SCOPED_TRACE(std::string(fen) + " seed " + std::to_string(seed));
            totalPlies += playRandomLine(fen, seed++);
            ASSERT_FALSE(HasFailure());
        }
    }
    // The games must really have been played, not stopped at once.
    EXPECT_GT(totalPlies, 1000);
    currentPly = PlyRecords;
}

}  // namespace
}  // namespace vostil
