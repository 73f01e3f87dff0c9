// The principal variation read back from the table: the moves of a stored line, the result
// markers, and where the line ends.
#include <gtest/gtest.h>

#include <string>

#include "search/search_fixture.h"

namespace vostil::testing {
namespace {

using PrincipalVariationTest = SearchTest;

// Stores `line` move by move from the current position, each as an exact entry, then takes
// the moves back; `last` (a move, a result code or 0) is stored for the final position.
void storeLine(std::initializer_list<Move> line, Move last, bool storeLast = true) {
    int depth = int(line.size()) + 1;
    for (Move m : line) {
        storeHash(m, 0, depth--, BOUND_EXACT);
        playInSearch(m);
    }
    if (storeLast) storeHash(last, 0, depth, BOUND_EXACT);
    for (auto it = std::rbegin(line); it != std::rend(line); ++it) takeBackInSearch(*it);
}

std::string pvOf(int n) {
    char text[PV_TEXT_SIZE];
    principalVariation(text, n);
    return text;
}

const Move E2E4 = quiet(E2, E4), E7E5 = quiet(E7, E5), G1F3 = quiet(G1, F3);

TEST_F(PrincipalVariationTest, FollowsTheStoredMovesUpToTheRequestedLength) {
    setUpFen(START_FEN);
    storeLine({E2E4, E7E5, G1F3}, 0, false);
    EXPECT_EQ(pvOf(3), "e2e4 e7e5 g1f3 ");
    EXPECT_EQ(pvOf(2), "e2e4 e7e5 ");
    EXPECT_EQ(pvOf(0), "");
}

TEST_F(PrincipalVariationTest, MissingEntryEndsTheLineWithNOE) {
    setUpFen(START_FEN);
    storeLine({E2E4, E7E5, G1F3}, 0, false);
    EXPECT_EQ(pvOf(5), "e2e4 e7e5 g1f3 NOE ");
    setUpFen(START_FEN);
    EXPECT_EQ(pvOf(4), "NOE ");
}

TEST_F(PrincipalVariationTest, MateEndsTheLineWithAHash) {
    setUpFen("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -");
    storeLine({quiet(A1, A8)}, RESULT_MATED);
    EXPECT_EQ(pvOf(4), "a1a8 # ");
}

TEST_F(PrincipalVariationTest, StalemateEndsTheLineWithTheDrawText) {
    setUpFen("7k/8/4Q1K1/8/8/8/8/8 w - -");
    storeLine({quiet(E6, F7)}, RESULT_STALEMATE);
    EXPECT_EQ(pvOf(4), "e6f7 1/2 - 1/2 (stalemate)");
}

TEST_F(PrincipalVariationTest, EntryWithoutMoveEndsTheLine) {
    setUpFen(START_FEN);
    storeLine({E2E4}, 0);
    EXPECT_EQ(pvOf(4), "e2e4 ");
}

TEST_F(PrincipalVariationTest, ImpossibleStoredMoveIsNotMade) {
    // After e2e4 black has no piece on e5; a colliding entry could still name e5e4.
    setUpFen(START_FEN);
    storeLine({E2E4}, quiet(E5, E4));
    const Position before = pos;
    EXPECT_EQ(pvOf(4), "e2e4 ");
    EXPECT_TRUE(pos == before);
    EXPECT_TRUE(positionIsConsistent());
}

TEST_F(PrincipalVariationTest, StoredMoveLeavingTheKingInCheckIsNotMade) {
    setUpFen("4r2k/8/8/8/3q4/8/4N2P/4K3 w - -");
    storeLine({}, capture(E2, D4));
    EXPECT_EQ(pvOf(3), "");
}

TEST_F(PrincipalVariationTest, LeavesPositionPlyAndHistoryAsOnEntry) {
    setUpFen(START_FEN);
    storeLine({E2E4, E7E5, G1F3}, 0, false);
    const Position before = pos;
    const HistoryEntry* top = historyTop;
    pvOf(6);
    EXPECT_TRUE(pos == before);
    EXPECT_EQ(historyTop, top);
    EXPECT_EQ(currentPly, PlyRecords);
}

TEST_F(PrincipalVariationTest, SearchLogsTheLineOfEachIteration) {
    setUpFen("3k4/8/8/3q4/8/8/3R4/3K4 w - -");
    search(3);
    const auto lines = iterationLines();
    ASSERT_EQ(lines.size(), 2u);
    // Depth 3 shows three moves, starting with the rook taking the queen.
    const size_t scoreTab = lines[1].find('\t');
    const std::string line = lines[1].substr(lines[1].find('\t', scoreTab + 1) + 1);
    EXPECT_EQ(line.rfind("d2d5 ", 0), 0u) << lines[1];
    int moves = 0;
    for (char c : line)
        if (c == ' ') ++moves;
    EXPECT_EQ(moves, 3) << lines[1];
}

}  // namespace
}  // namespace vostil::testing
