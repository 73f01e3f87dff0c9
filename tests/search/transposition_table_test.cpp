// Transposition table: entry packing, probing with cutoffs, the replacement rule, the two
// side tables and book entries.
#include <gtest/gtest.h>

#include "game/setup_game_position.h"
#include "board/position.h"
#include "common/move.h"
#include "search/transposition_table.h"

namespace vostil {
namespace {

// Keys are set by hand so that positions can be made to share a bucket on purpose.
constexpr uint32_t BUCKET = 0x2A5C3;
constexpr uint32_t KEY_LOW_A = 0x12300000u | BUCKET;
constexpr uint32_t KEY_HIGH_A = 0xDEADBEEFu;
constexpr uint32_t KEY_LOW_B = 0xABC00000u | BUCKET;  // same bucket, other check bits
constexpr uint32_t KEY_HIGH_B = 0x01234567u;

const Move E2E4 = makeMoveCode(E2, E4, MOVE_QUIET);
const Move G1F3 = makeMoveCode(G1, F3, MOVE_QUIET);
const Move D2D4 = makeMoveCode(D2, D4, MOVE_QUIET);
const Move B1C3 = makeMoveCode(B1, C3, MOVE_QUIET);

class TranspositionTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
        savedGeneration = ttGeneration;
    }
    void TearDown() override {
        ttGeneration = savedGeneration;
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
    }

    static void usePosition(uint32_t keyLow, uint32_t keyHigh, int side = WHITE) {
        pos.keyLow = keyLow;
        pos.keyHigh = keyHigh;
        pos.sideToMove = side;
    }
    static Bucket& bucket(int side = WHITE) { return TranspositionTable[side][BUCKET]; }

    uint16_t savedGeneration = 1;
};

// --- Packing -------------------------------------------------------------------------

TEST_F(TranspositionTableTest, EntryPacksKeyMoveDepthBoundGenerationAndScore) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    ASSERT_EQ(ttGeneration, 1);
    storeHash(E2E4, 123, 9, BOUND_LOWER);
    const HashEntry& e = bucket().slot[0];
    EXPECT_EQ(e.word0, (KEY_LOW_A & 0xFFFF0000u) | E2E4);
    EXPECT_EQ(e.word1, KEY_HIGH_A);
    EXPECT_EQ(e.word2, 9u | BOUND_LOWER | (1u << 9) | uint32_t(123 + 8190) << 18);
    EXPECT_EQ(e.move(), E2E4);
    EXPECT_EQ(e.depth(), 9);
    EXPECT_EQ(e.bound(), BOUND_LOWER);
    EXPECT_EQ(e.generation(), 1);
    EXPECT_EQ(e.score(), 123);
    EXPECT_FALSE(e.isBookEntry());
    EXPECT_EQ(findEntry(), &e);
}

TEST_F(TranspositionTableTest, ExtremeScoresRoundTripThroughTheBias) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(G1F3, -8190, 3, BOUND_UPPER);
    EXPECT_EQ(bucket().slot[0].word2 >> 18, 0u);
    EXPECT_EQ(findEntry()->score(), -8190);

    usePosition(KEY_LOW_B, KEY_HIGH_B);
    storeHash(G1F3, 8190, 4, BOUND_LOWER);
    EXPECT_EQ(bucket().slot[0].word2 >> 18, 2u * 8190);
    EXPECT_EQ(findEntry()->score(), 8190);

    // The reserved mate result keeps its move code and score.
    usePosition(KEY_LOW_A ^ 0x1, KEY_HIGH_A);
    storeHash(RESULT_MATED, -8100 + 5, 127, BOUND_EXACT);
    ASSERT_NE(findEntry(), nullptr);
    EXPECT_EQ(findEntry()->move(), RESULT_MATED);
    EXPECT_EQ(findEntry()->score(), -8095);
    EXPECT_EQ(findEntry()->depth(), 127);
}

TEST_F(TranspositionTableTest, MateScoresAreKeptFromTheirOwnPositionAndReadFromTheRoot) {
    // A search at ply p tells mates counted from the root: 8100 - plies to mate from there.
    const struct { int storePly, score, readPly, read, kept; } rows[] = {
        {3, 8100 - 5, 1, 8100 - 3, 8100 - 2},  // mate two plies below the entry's position
        {3, 8100 - 5, 0, 8100 - 2, 8100 - 2},
        {4, -(8100 - 4), 0, -8100, -8100},     // mated in the position itself
        {4, -(8100 - 4), 7, -(8100 - 7), -8100},
        {0, -(8100 - 9), 2, -(8100 - 11), -(8100 - 9)},
        {5, 8000, 0, 8000, 8000},              // the evaluation's extremes are no mates
        {5, -8000, 9, -8000, -8000},
    };
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    for (const auto& row : rows) {
        bucket().slot[0] = HashEntry{};
        currentPly = PlyRecords + row.storePly;
        storeHash(E2E4, row.score, 3, BOUND_EXACT);
        EXPECT_EQ(findEntry()->score(), row.kept) << row.score;
        currentPly = PlyRecords + row.readPly;
        int alpha = -8100, beta = 8099, score = 0;
        EXPECT_TRUE(probeHash(3, alpha, beta, score));
        EXPECT_EQ(score, row.read) << row.score << " read at ply " << row.readPly;
    }
    currentPly = PlyRecords;
}

TEST_F(TranspositionTableTest, ClearedTableMatchesOnlyKeysWithZeroCheckBits) {
    clearHash();
    usePosition(0x0007FFFFu, 0);  // check bits zero, keyHigh zero: reads the empty slot
    const HashEntry* empty = findEntry();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->move(), 0);
    EXPECT_EQ(empty->depth(), 0);
    EXPECT_EQ(empty->bound(), BOUND_EXACT);
    EXPECT_EQ(empty->generation(), 0);
    EXPECT_EQ(empty->score(), -8190);
    EXPECT_FALSE(empty->isBookEntry());

    usePosition(0x00080000u, 0);  // lowest check bit set
    EXPECT_EQ(findEntry(), nullptr);
    usePosition(0x0007FFFFu, 1);
    EXPECT_EQ(findEntry(), nullptr);
}

TEST_F(TranspositionTableTest, OnlyTheTopThirteenKeyLowBitsAndKeyHighAreCompared) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 10, 2, BOUND_EXACT);
    HashEntry& e = bucket().slot[0];
    // Bits 16-18 are part of the bucket index already; a stored difference there is ignored.
    e.word0 ^= 0x00070000u;
    EXPECT_EQ(findEntry(), &e);
    e.word0 ^= 0x00070000u ^ 0x00080000u;
    EXPECT_EQ(findEntry(), nullptr);
    e.word0 ^= 0x00080000u;
    ASSERT_EQ(findEntry(), &e);
    usePosition(KEY_LOW_A, KEY_HIGH_A ^ 0x80000000u);
    EXPECT_EQ(findEntry(), nullptr);
}

// --- Probing -----------------------------------------------------------------------------

TEST_F(TranspositionTableTest, ProbeMissClearsHashMoveAndDepth) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    currentPly->hashMove = E2E4;
    currentPly->hashDepth = 7;
    int alpha = -50, beta = 50, score = 999;
    EXPECT_FALSE(probeHash(3, alpha, beta, score));
    EXPECT_EQ(currentPly->hashMove, 0);
    EXPECT_EQ(currentPly->hashDepth, 0);
    EXPECT_EQ(alpha, -50);
    EXPECT_EQ(beta, 50);
}

TEST_F(TranspositionTableTest, ExactEntryDeepEnoughAnswersTheNode) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 42, 5, BOUND_EXACT);
    int alpha = -10, beta = 10, score = 0;
    EXPECT_TRUE(probeHash(5, alpha, beta, score));
    EXPECT_EQ(score, 42);
    EXPECT_EQ(currentPly->hashScore, 42);
    EXPECT_EQ(currentPly->hashDepth, 5);
}

TEST_F(TranspositionTableTest, ShallowEntryOnlyLendsItsMove) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 42, 4, BOUND_EXACT);
    currentPly->hashScore = 777;
    int alpha = -10, beta = 10, score = 0;
    EXPECT_FALSE(probeHash(5, alpha, beta, score));
    EXPECT_EQ(currentPly->hashMove, E2E4);
    EXPECT_EQ(currentPly->hashDepth, 4);
    EXPECT_EQ(currentPly->hashScore, 777) << "a shallow entry's score is not read";
    EXPECT_EQ(alpha, -10);
    EXPECT_EQ(beta, 10);
}

TEST_F(TranspositionTableTest, LowerBoundCutsAtBetaOrRaisesAlpha) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(G1F3, 30, 6, BOUND_LOWER);

    int alpha = -10, beta = 30, score = 0;
    EXPECT_TRUE(probeHash(6, alpha, beta, score));
    EXPECT_EQ(score, 30);

    alpha = -10, beta = 40;
    EXPECT_FALSE(probeHash(2, alpha, beta, score));
    EXPECT_EQ(alpha, 30);
    EXPECT_EQ(beta, 40);
    EXPECT_EQ(currentPly->hashMove, G1F3);

    alpha = 35, beta = 40;  // a bound below alpha tells nothing new
    EXPECT_FALSE(probeHash(2, alpha, beta, score));
    EXPECT_EQ(alpha, 35);
    EXPECT_EQ(beta, 40);
}

TEST_F(TranspositionTableTest, UpperBoundCutsAtAlphaOrLowersBeta) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(D2D4, -20, 6, BOUND_UPPER);

    int alpha = -20, beta = 30, score = 0;
    EXPECT_TRUE(probeHash(6, alpha, beta, score));
    EXPECT_EQ(score, -20);

    alpha = -40, beta = 30;
    EXPECT_FALSE(probeHash(6, alpha, beta, score));
    EXPECT_EQ(alpha, -40);
    EXPECT_EQ(beta, -20);
    EXPECT_EQ(currentPly->hashMove, D2D4);

    alpha = -40, beta = -30;
    EXPECT_FALSE(probeHash(6, alpha, beta, score));
    EXPECT_EQ(beta, -30);
}

TEST_F(TranspositionTableTest, QuiescenceDepthsAcceptEveryEntry) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 15, 0, BOUND_LOWER);
    int alpha = 0, beta = 10, score = 0;
    EXPECT_TRUE(probeHash(-3, alpha, beta, score));
    EXPECT_EQ(score, 15);
}

// --- Replacement: the same position --------------------------------------------------------

TEST_F(TranspositionTableTest, SamePositionExactReplacesBoundOfEqualDepth) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 20, 5, BOUND_LOWER);
    storeHash(G1F3, 25, 5, BOUND_EXACT);
    EXPECT_EQ(bucket().slot[0].move(), G1F3);
    EXPECT_EQ(bucket().slot[0].bound(), BOUND_EXACT);
    EXPECT_EQ(bucket().slot[1].word0, 0u);
}

TEST_F(TranspositionTableTest, SamePositionBoundNeverReplacesEqualDepth) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 20, 5, BOUND_LOWER);
    storeHash(G1F3, 40, 5, BOUND_LOWER);
    storeHash(D2D4, -40, 5, BOUND_UPPER);
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[0].score(), 20);
    storeHash(E2E4, 10, 5, BOUND_EXACT);
    storeHash(G1F3, 11, 5, BOUND_EXACT);  // exact over exact: no
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[0].score(), 10);
    EXPECT_EQ(bucket().slot[1].word0, 0u);
}

TEST_F(TranspositionTableTest, SamePositionShallowerResultWritesNothingAnywhere) {
    usePosition(KEY_LOW_B, KEY_HIGH_B);
    storeHash(B1C3, 1, 9, BOUND_EXACT);  // another position fills slot 0 ...
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 2, 1, BOUND_EXACT);  // ... so this one lands in slot 1
    ASSERT_EQ(bucket().slot[1].move(), E2E4);
    usePosition(KEY_LOW_B, KEY_HIGH_B);
    const Bucket before = bucket();
    storeHash(G1F3, 50, 8, BOUND_EXACT);  // shallower than slot 0 of its own position
    EXPECT_EQ(bucket().slot[0].word2, before.slot[0].word2);
    EXPECT_EQ(bucket().slot[0].word0, before.slot[0].word0);
    EXPECT_EQ(bucket().slot[1].word0, before.slot[1].word0) << "slot 1 is left alone too";
    EXPECT_EQ(bucket().slot[1].word2, before.slot[1].word2);
}

TEST_F(TranspositionTableTest, SamePositionDeeperResultReplaces) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 20, 5, BOUND_EXACT);
    storeHash(G1F3, -5, 6, BOUND_UPPER);
    EXPECT_EQ(bucket().slot[0].move(), G1F3);
    EXPECT_EQ(bucket().slot[0].depth(), 6);
    EXPECT_EQ(bucket().slot[0].bound(), BOUND_UPPER);
}

// --- Replacement: two positions in one bucket ------------------------------------------------

TEST_F(TranspositionTableTest, OtherPositionTakesSlotZeroOnlyWhenDeeper) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 20, 5, BOUND_EXACT);

    usePosition(KEY_LOW_B, KEY_HIGH_B);
    storeHash(G1F3, 30, 5, BOUND_LOWER);  // same depth, same generation, a bound: slot 1
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[1].move(), G1F3);

    storeHash(D2D4, 31, 3, BOUND_EXACT);  // shallower: slot 1, replacing what was there
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[1].move(), D2D4);

    storeHash(B1C3, 32, 6, BOUND_UPPER);  // deeper: slot 0
    EXPECT_EQ(bucket().slot[0].move(), B1C3);
    EXPECT_EQ(bucket().slot[1].move(), D2D4) << "the same position may sit in both slots";
    EXPECT_EQ(findEntry(), &bucket().slot[0]) << "slot 0 is found first";

    usePosition(KEY_LOW_A, KEY_HIGH_A);
    EXPECT_EQ(findEntry(), nullptr) << "the displaced position is gone";
}

TEST_F(TranspositionTableTest, OtherPositionTiesGoToSlotZeroOnlyForExactOverBound) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 20, 5, BOUND_LOWER);
    usePosition(KEY_LOW_B, KEY_HIGH_B);
    storeHash(G1F3, 30, 5, BOUND_EXACT);
    EXPECT_EQ(bucket().slot[0].move(), G1F3);
    EXPECT_EQ(bucket().slot[1].word0, 0u);

    usePosition(KEY_LOW_A, KEY_HIGH_A);  // exact over exact at equal depth: slot 1
    storeHash(E2E4, 21, 5, BOUND_EXACT);
    EXPECT_EQ(bucket().slot[0].move(), G1F3);
    EXPECT_EQ(bucket().slot[1].move(), E2E4);
}

TEST_F(TranspositionTableTest, OlderGenerationCountsAsOnePlyShallower) {
    ttGeneration = 0;
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 20, 5, BOUND_EXACT);
    ttGeneration = 1;

    usePosition(KEY_LOW_B, KEY_HIGH_B);
    storeHash(G1F3, 30, 4, BOUND_LOWER);  // 4 - 5 + 1 = 0, a bound over exact: slot 1
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[1].move(), G1F3);
    storeHash(G1F3, 30, 4, BOUND_EXACT);  // 0, but exact over exact: still slot 1
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    storeHash(D2D4, 30, 5, BOUND_UPPER);  // 5 - 5 + 1 > 0: slot 0
    EXPECT_EQ(bucket().slot[0].move(), D2D4);
    EXPECT_EQ(bucket().slot[0].generation(), 1);
}

TEST_F(TranspositionTableTest, EmptySlotZeroTakesAnyResult) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(E2E4, 0, 0, BOUND_UPPER);
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[1].word0, 0u);
}

// --- The two side tables --------------------------------------------------------------------

TEST_F(TranspositionTableTest, SidesToMoveNeverShareEntries) {
    usePosition(KEY_LOW_A, KEY_HIGH_A, WHITE);
    storeHash(E2E4, 55, 7, BOUND_EXACT);
    usePosition(KEY_LOW_A, KEY_HIGH_A, BLACK);
    EXPECT_EQ(findEntry(), nullptr);
    int alpha = -100, beta = 100, score = 0;
    EXPECT_FALSE(probeHash(1, alpha, beta, score));

    storeHash(G1F3, -55, 1, BOUND_UPPER);  // lands in black's own empty slot 0
    EXPECT_EQ(findEntry(), &bucket(BLACK).slot[0]);
    EXPECT_EQ(findEntry()->move(), G1F3);

    usePosition(KEY_LOW_A, KEY_HIGH_A, WHITE);
    EXPECT_EQ(findEntry()->move(), E2E4);
    EXPECT_EQ(findEntry()->score(), 55);
}

// --- Book entries ----------------------------------------------------------------------------

TEST_F(TranspositionTableTest, BookEntryHoldsKeyAndMoveWithGenerationZero) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeBookEntry(E2E4);
    const HashEntry* e = findEntry();
    ASSERT_EQ(e, &bucket().slot[0]);
    EXPECT_EQ(e->word0, (KEY_LOW_A & 0xFFFF0000u) | E2E4);
    EXPECT_EQ(e->word1, KEY_HIGH_A);
    EXPECT_EQ(e->word2, 0u) << "depth, bound and score stay as the cleared table left them";
    EXPECT_TRUE(e->isBookEntry());
}

TEST_F(TranspositionTableTest, BookEntryOnlyGivesAHashMove) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeBookEntry(E2E4);
    currentPly->hashScore = 333;
    for (int required : {0, -1, -8, 1}) {
        int alpha = -8000, beta = 8000, score = 12345;
        EXPECT_FALSE(probeHash(required, alpha, beta, score)) << required;
        EXPECT_EQ(score, 12345);
        EXPECT_EQ(alpha, -8000);
        EXPECT_EQ(beta, 8000);
        EXPECT_EQ(currentPly->hashMove, E2E4);
        EXPECT_EQ(currentPly->hashDepth, 0);
        EXPECT_EQ(currentPly->hashScore, 333);
    }
}

TEST_F(TranspositionTableTest, BookEntryOverASearchEntryKeepsItsFieldsButNotItsScore) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeHash(G1F3, 60, 4, BOUND_LOWER);
    storeBookEntry(E2E4);
    const HashEntry& e = bucket().slot[0];
    EXPECT_EQ(e.move(), E2E4);
    EXPECT_EQ(e.generation(), 0);
    EXPECT_EQ(e.depth(), 4);
    EXPECT_EQ(e.bound(), BOUND_LOWER);
    EXPECT_EQ(e.score(), 60);

    int alpha = -10, beta = 50, score = 0;
    EXPECT_FALSE(probeHash(2, alpha, beta, score)) << "60 >= beta, yet a book entry never cuts";
    EXPECT_EQ(alpha, -10);
    EXPECT_EQ(beta, 50);
    EXPECT_EQ(currentPly->hashMove, E2E4);
    EXPECT_EQ(currentPly->hashDepth, 4);
}

TEST_F(TranspositionTableTest, BookEntryGivesWayToSearchResults) {
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeBookEntry(E2E4);
    storeHash(G1F3, 0, 0, BOUND_EXACT);  // its own position at depth 0: kept
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[1].move(), 0);
    storeHash(G1F3, 5, 1, BOUND_UPPER);  // depth 1: replaced
    EXPECT_EQ(bucket().slot[0].move(), G1F3);
    EXPECT_EQ(bucket().slot[0].generation(), 1);
    EXPECT_TRUE(restoreBookEntry()) << "put back where the loading left it";
    EXPECT_TRUE(bucket().slot[0].isBookEntry());
    EXPECT_EQ(bucket().slot[0].move(), E2E4);
    EXPECT_EQ(bucket().slot[0].depth(), 0) << "it gives way to searches as a loaded one does";
    usePosition(KEY_LOW_A, KEY_HIGH_A, BLACK);  // no book entry in the other side's table
    EXPECT_FALSE(restoreBookEntry());

    clearHash();
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    storeBookEntry(E2E4);
    usePosition(KEY_LOW_B, KEY_HIGH_B);  // any result for another position takes slot 0
    storeHash(D2D4, 0, 0, BOUND_UPPER);
    EXPECT_EQ(bucket().slot[0].move(), D2D4);
    storeBookEntry(D2D4);  // a later book entry in the same bucket wins it
    usePosition(KEY_LOW_A, KEY_HIGH_A);
    EXPECT_FALSE(restoreBookEntry());
    usePosition(KEY_LOW_B, KEY_HIGH_B);
    clearHash();
    EXPECT_FALSE(restoreBookEntry());
}

TEST_F(TranspositionTableTest, BookEntryGoesToTheTableOfTheSideToMove) {
    usePosition(KEY_LOW_A, KEY_HIGH_A, BLACK);
    storeBookEntry(E2E4);
    EXPECT_EQ(bucket(BLACK).slot[0].move(), E2E4);
    EXPECT_EQ(bucket(WHITE).slot[0].word0, 0u);
    usePosition(KEY_LOW_A, KEY_HIGH_A, WHITE);
    EXPECT_EQ(findEntry(), nullptr);
}

TEST_F(TranspositionTableTest, SetupEmptiesBothTablesAndRestartsTheGeneration) {
    usePosition(KEY_LOW_A, KEY_HIGH_A, WHITE);
    storeHash(E2E4, 1, 3, BOUND_EXACT);
    usePosition(KEY_LOW_A, KEY_HIGH_A, BLACK);
    storeHash(E2E4, 1, 3, BOUND_EXACT);
    ttGeneration = 0;
    ASSERT_TRUE(setupGamePosition(START_FEN, false));
    EXPECT_EQ(ttGeneration, 1);
    EXPECT_EQ(bucket(WHITE).slot[0].word0, 0u);
    EXPECT_EQ(bucket(BLACK).slot[0].word0, 0u);
}

}  // namespace
}  // namespace vostil
