// Root search: the SearchResult entry, fail-high stores, single legal moves, and the root
// list kept from one iteration to the next.
#include <gtest/gtest.h>

#include "search/search_fixture.h"

namespace vostil::testing {
namespace {

class SearchRootTest : public SearchTest {
protected:
    // What iterative deepening prepares before the first iteration.
    static void prepareRoot(int depth) {
        iterationDepth = depth;
        PlyRecords[0].moveListEnd = nullptr;
        computeCheckInfo(PlyRecords[0]);
    }
};

TEST_F(SearchRootTest, FailHighStoresALowerBoundAndSetsTheResultAtOnce) {
    setUpFen("3k4/8/8/3q4/8/8/3R4/3K4 w - -");
    prepareRoot(2);
    const Score s = searchRoot(-10, 10);
    EXPECT_GE(s, 10);
    EXPECT_EQ(SearchResult().move, capture(D2, D5));
    EXPECT_EQ(SearchResult().score, s);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), capture(D2, D5));
    EXPECT_EQ(entry->bound(), BOUND_LOWER);
    EXPECT_EQ(entry->depth(), 2);
}

TEST_F(SearchRootTest, CompletedIterationPutsTheBestMoveFirstWithItsScore) {
    setUpFen("3k4/8/8/3q4/8/8/3R4/3K4 w - -");
    prepareRoot(2);
    const Score s = searchRoot(-MATE_SCORE, MATE_SCORE - 1);
    EXPECT_EQ(SearchResult().move, capture(D2, D5));
    EXPECT_EQ(SearchResult().score, s);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->bound(), BOUND_EXACT);
    EXPECT_EQ(entry->score(), s);
}

TEST_F(SearchRootTest, ListIsKeptWithSearchedScoresForTheNextIteration) {
    setUpFen(START_FEN);
    prepareRoot(2);
    searchRoot(-MATE_SCORE, MATE_SCORE - 1);
    MoveEntry* const end = PlyRecords[0].moveListEnd;
    ASSERT_EQ(end - MoveStack, 20);
    for (const MoveEntry* e = MoveStack; e < end; ++e)
        EXPECT_GT(e->score, -1000) << "every root move carries its searched score";
    // The next iteration reuses the same twenty moves.
    iterationDepth = 3;
    searchRoot(-MATE_SCORE, MATE_SCORE - 1);
    EXPECT_EQ(PlyRecords[0].moveListEnd, end);
}

TEST_F(SearchRootTest, OnlyLegalMoveIsTheResultAtEveryDepth) {
    // The king is in check from f1 and cannot move; only the rook can take the checker.
    setUpFen("5R2/k7/8/8/8/8/r7/5r1K w - -");
    ASSERT_EQ(legalMoves().size(), 1u);
    EXPECT_EQ(search(4), capture(F8, F1));
    EXPECT_EQ(iterationLines().size(), 3u);
}

TEST_F(SearchRootTest, MatedRootSetsTheMatedCodeAndStoresIt) {
    setUpFen("7k/6Q1/6K1/8/8/8/8/8 b - -");
    prepareRoot(3);
    EXPECT_EQ(searchRoot(-MATE_SCORE, MATE_SCORE - 1), -8100);
    EXPECT_EQ(SearchResult().move, RESULT_MATED);
    EXPECT_EQ(SearchResult().score, -8100);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), RESULT_MATED);
    EXPECT_EQ(entry->depth(), 3);
}

TEST_F(SearchRootTest, StoppedIterationLeavesTheResultUntouched) {
    setUpFen("3k4/8/8/3q4/8/8/3R4/3K4 w - -");
    prepareRoot(2);
    searchRoot(-MATE_SCORE, MATE_SCORE - 1);
    const MoveEntry before = SearchResult();
    iterationDepth = 3;
    stopFlag = true;
    searchRoot(-MATE_SCORE, MATE_SCORE - 1);
    EXPECT_EQ(SearchResult().move, before.move);
    EXPECT_EQ(findEntry()->depth(), 2) << "the interrupted iteration stores nothing at the root";
}

}  // namespace
}  // namespace vostil::testing
