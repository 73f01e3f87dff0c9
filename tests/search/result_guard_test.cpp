// The move handed to the game is always legal: after a stop before anything was searched,
// and when the table's root entry holds a move from another position (a key collision).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "search/search_fixture.h"

namespace vostil::testing {
namespace {

using ResultGuardTest = SearchTest;

// The white knight on e2 is pinned by the rook on e8, and taking the queen is the
// best-ordered move of the position, but illegal.
constexpr const char* PINNED_KNIGHT_FEN = "4r2k/8/8/8/3q4/8/4N2P/4K3 w - -";
const Move PINNED_CAPTURE = capture(E2, D4);

TEST_F(ResultGuardTest, StopAtOnceWithAnEmptyTableStillGivesALegalMove) {
    setUpFen(START_FEN);
    stopFlag = true;
    const Move best = search(MAX_DEPTH_LIMIT);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
    EXPECT_TRUE(iterationLines().empty());
}

TEST_F(ResultGuardTest, StopAtOnceNeverPlaysTheIllegalFirstOrderedMove) {
    setUpFen(PINNED_KNIGHT_FEN);
    ASSERT_FALSE(isLegalNow(PINNED_CAPTURE));
    stopFlag = true;
    const Move best = search(MAX_DEPTH_LIMIT);
    EXPECT_NE(best, PINNED_CAPTURE);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
    EXPECT_EQ(SearchResult().move, best);
}

TEST_F(ResultGuardTest, SearchedResultNeverTakesThePinnedKnight) {
    setUpFen(PINNED_KNIGHT_FEN);
    const Move best = search(4);
    EXPECT_NE(best, PINNED_CAPTURE);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
}

TEST_F(ResultGuardTest, ForgedIllegalRootEntryIsNotPlayed) {
    // Deeper than the whole search, so the table would answer every iteration with it.
    setUpFen(PINNED_KNIGHT_FEN);
    storeHash(PINNED_CAPTURE, 700, 20, BOUND_EXACT);
    const Move best = search(5);
    EXPECT_NE(best, PINNED_CAPTURE);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
}

TEST_F(ResultGuardTest, ForgedRootEntryFromAnEmptySquareIsNotPlayed) {
    setUpFen(START_FEN);
    const Move impossible = quiet(E4, E5);
    storeHash(impossible, 40, 3, BOUND_EXACT);
    const Move best = search(4);
    EXPECT_NE(best, impossible);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
}

TEST_F(ResultGuardTest, ForgedShallowIllegalEntryIsSearchedPastAndReplaced) {
    setUpFen(PINNED_KNIGHT_FEN);
    storeHash(PINNED_CAPTURE, 700, 1, BOUND_LOWER);
    const Move best = search(4);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
    const HashEntry* entry = findEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->move(), best);
    EXPECT_EQ(entry->depth(), 4);
}

TEST_F(ResultGuardTest, ForgedMateCodeInAPlayablePositionIsNotPlayed) {
    setUpFen(START_FEN);
    storeHash(RESULT_MATED, -8100, 30, BOUND_EXACT);
    const Move best = search(3);
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
}

TEST_F(ResultGuardTest, StopAtOnceInAMatedPositionGivesTheMatedCode) {
    setUpFen("7k/6Q1/6K1/8/8/8/8/8 b - -");
    stopFlag = true;
    EXPECT_EQ(search(MAX_DEPTH_LIMIT), RESULT_MATED);
    EXPECT_EQ(resultScore(), -8100);
}

TEST_F(ResultGuardTest, StopAtOnceInAStalematedPositionGivesTheStalemateCode) {
    setUpFen("7k/5Q2/6K1/8/8/8/8/8 b - -");
    stopFlag = true;
    EXPECT_EQ(search(MAX_DEPTH_LIMIT), RESULT_STALEMATE);
    EXPECT_EQ(resultScore(), 0);
}

TEST_F(ResultGuardTest, StopFromAnotherThreadEndsADeepSearchWithALegalMove) {
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    // The stop lands somewhere inside an iteration; when exactly does not matter.
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stopFlag = true;
    });
    const Move best = search(MAX_DEPTH_LIMIT);
    stopper.join();
    EXPECT_TRUE(isLegalNow(best)) << moveText(best);
    EXPECT_EQ(currentPly, PlyRecords);
    EXPECT_TRUE(positionIsConsistent());
}

}  // namespace
}  // namespace vostil::testing
