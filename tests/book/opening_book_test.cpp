// The opening book loader: small book files written by the tests, loaded into the table from
// the start position, and the faults a damaged file can carry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "board/zobrist.h"
#include "book/book_test_support.h"
#include "book/opening_book.h"
#include "common/move.h"
#include "search/transposition_table.h"

namespace vostil {
namespace {

using booktest::bookMoveAfter;
using booktest::bookMoveHere;
using booktest::GameState;
using booktest::record;
using booktest::TemporaryFolder;

constexpr Move E2E4 = makeMoveCode(E2, E4, MOVE_QUIET);
constexpr Move E7E5 = makeMoveCode(E7, E5, MOVE_QUIET);
constexpr Move E2E3 = makeMoveCode(E2, E3, MOVE_QUIET);
constexpr Move D2D4 = makeMoveCode(D2, D4, MOVE_QUIET);
constexpr Move D7D5 = makeMoveCode(D7, D5, MOVE_QUIET);
constexpr Move G1F3 = makeMoveCode(G1, F3, MOVE_QUIET);
constexpr Move F3G1 = makeMoveCode(F3, G1, MOVE_QUIET);
constexpr Move G8F6 = makeMoveCode(G8, F6, MOVE_QUIET);
constexpr Move F6G8 = makeMoveCode(F6, G8, MOVE_QUIET);

const char* const BLACK_TO_MOVE_START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -";

class OpeningBookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
        generationBefore = ttGeneration;
    }

    // The two-line book of the examples: 1.e4 e5 and 1.d4 d5.
    std::string twoLineBook(const char* header) const {
        return folder.write("two.book", std::string(header) + record({E2E4, E7E5}) + record({D2D4, D7D5}));
    }

    void expectNothingStored() {
        EXPECT_EQ(bookMoveHere(), 0);
        EXPECT_EQ(bookMoveAfter({E2E4}), 0);
        EXPECT_EQ(bookMoveAfter({D2D4}), 0);
    }

    TemporaryFolder folder;
    uint16_t generationBefore = 0;
};

TEST(StartPositionKey, IsTheKeyOfTheThirtyTwoPiecesOfTheInitialPlacement) {
    uint64_t key = 0;
    const PieceCode backRank[8] = {WHITE_ROOK, WHITE_KNIGHT, WHITE_BISHOP, WHITE_QUEEN,
                                   WHITE_KING, WHITE_BISHOP, WHITE_KNIGHT, WHITE_ROOK};
    for (int file = 0; file < 8; ++file) {
        PieceCode white = backRank[file];
        key ^= ZOBRIST[white][A1 + file] ^ ZOBRIST[white + 1][A8 + file];
        key ^= ZOBRIST[WHITE_PAWN][A2 + file] ^ ZOBRIST[BLACK_PAWN][A7 + file];
    }
    EXPECT_EQ(startPositionKey(), key);

    ASSERT_TRUE(setupGamePosition(START_FEN, false));
    EXPECT_EQ(hashKey(), startPositionKey());
    // The key holds the pieces only, so the side to move does not change it.
    ASSERT_TRUE(setupGamePosition(BLACK_TO_MOVE_START, false));
    EXPECT_EQ(hashKey(), startPositionKey());
}

// --- Whole files ------------------------------------------------------------------------

TEST_F(OpeningBookTest, TwoLinesWithMatchingCountAreBothStoredWithTheHeldBackLineFirst) {
    const GameState before = GameState::take();
    EXPECT_TRUE(loadOpeningBook(twoLineBook("2\n").c_str()));
    booktest::expectUnchanged(before);

    Move first = bookMoveHere();
    EXPECT_TRUE(first == E2E4 || first == D2D4) << "start position holds " << first;
    EXPECT_EQ(bookMoveAfter({E2E4}), E7E5);
    EXPECT_EQ(bookMoveAfter({D2D4}), D7D5);
    // A line's last position has nothing to play from the book.
    EXPECT_EQ(bookMoveAfter({E2E4, E7E5}), 0);
    EXPECT_EQ(ttGeneration, generationBefore);
}

TEST_F(OpeningBookTest, EveryRecordIsSometimesTheHeldBackOne) {
    const std::string file = twoLineBook("2\n");
    bool sawE4 = false, sawD4 = false;
    for (int load = 0; load < 64 && !(sawE4 && sawD4); ++load) {
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
        ASSERT_TRUE(loadOpeningBook(file.c_str()));
        sawE4 |= bookMoveHere() == E2E4;
        sawD4 |= bookMoveHere() == D2D4;
    }
    EXPECT_TRUE(sawE4);
    EXPECT_TRUE(sawD4);
}

TEST_F(OpeningBookTest, HeaderMayHaveLeadingBlanksAndAWindowsLineEnd) {
    EXPECT_TRUE(loadOpeningBook(twoLineBook("  \t2 lines\r\n").c_str()));
    EXPECT_EQ(bookMoveAfter({E2E4}), E7E5);
    EXPECT_EQ(bookMoveAfter({D2D4}), D7D5);
}

TEST_F(OpeningBookTest, CountAboveTheRecordsPresentStoresThemAllButFails) {
    EXPECT_FALSE(loadOpeningBook(twoLineBook("3\n").c_str()));
    Move first = bookMoveHere();
    EXPECT_TRUE(first == E2E4 || first == D2D4) << "start position holds " << first;
    EXPECT_EQ(bookMoveAfter({E2E4}), E7E5);
    EXPECT_EQ(bookMoveAfter({D2D4}), D7D5);
    EXPECT_EQ(ttGeneration, generationBefore);
}

TEST_F(OpeningBookTest, CountBelowTheRecordsPresentStoresThemAllButFails) {
    const std::string file = folder.write(
        "extra.book", "1\n" + record({E2E4, E7E5}) + record({D2D4, D7D5}));
    EXPECT_FALSE(loadOpeningBook(file.c_str()));
    EXPECT_EQ(bookMoveAfter({E2E4}), E7E5);
    EXPECT_EQ(bookMoveAfter({D2D4}), D7D5);
}

TEST_F(OpeningBookTest, MoveNotGeneratedInItsPositionFailsWithThePositionRestored) {
    // d2d4 is white's move, given where black is to move.
    const std::string file = folder.write("bad.book", "1\n" + record({E2E4, D2D4}));
    const GameState before = GameState::take();
    EXPECT_FALSE(loadOpeningBook(file.c_str()));
    booktest::expectUnchanged(before);
    EXPECT_EQ(currentPly, PlyRecords);
    expectNothingStored();
    EXPECT_EQ(ttGeneration, generationBefore);
}

TEST_F(OpeningBookTest, BlackToMoveInTheStartPlacementFindsNoLinePlayable) {
    ASSERT_TRUE(setupGamePosition(BLACK_TO_MOVE_START, false));
    const GameState before = GameState::take();
    EXPECT_FALSE(loadOpeningBook(twoLineBook("2\n").c_str()));
    booktest::expectUnchanged(before);
    EXPECT_EQ(bookMoveHere(), 0);
}

TEST_F(OpeningBookTest, OtherPositionsAreRefusedWithoutReadingTheFile) {
    ASSERT_TRUE(setupGamePosition("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", false));
    EXPECT_FALSE(loadOpeningBook(twoLineBook("2\n").c_str()));
    EXPECT_EQ(bookMoveHere(), 0);
}

TEST_F(OpeningBookTest, MissingFileStoresNothing) {
    EXPECT_FALSE(loadOpeningBook(folder.pathOf("no-such.book").c_str()));
    expectNothingStored();
    EXPECT_EQ(ttGeneration, generationBefore);
}

TEST_F(OpeningBookTest, UnreadableHeaderStoresNothing) {
    EXPECT_FALSE(loadOpeningBook(folder.write("text.book", "two\n" + record({E2E4, E7E5})).c_str()));
    EXPECT_FALSE(loadOpeningBook(folder.write("empty.book", "").c_str()));
    EXPECT_FALSE(loadOpeningBook(folder.write("sign.book", "-1\n" + record({E2E4, E7E5})).c_str()));
    expectNothingStored();
}

TEST_F(OpeningBookTest, RecordCutShortByTheEndOfTheFileIsNotStored) {
    std::string cut = record({D2D4, D7D5});
    cut.resize(cut.size() - 1);
    const std::string file = folder.write("cut.book", "2\n" + record({E2E4, E7E5}) + cut);
    EXPECT_FALSE(loadOpeningBook(file.c_str()));
    EXPECT_EQ(bookMoveHere(), E2E4);
    EXPECT_EQ(bookMoveAfter({E2E4}), E7E5);
    EXPECT_EQ(bookMoveAfter({D2D4}), 0);
}

TEST_F(OpeningBookTest, RecordLongerThanSixtyFourMovesIsAFormatError) {
    // 64 legal knight moves and one more: neither truncated nor stored, and nothing after it.
    std::vector<Move> shuffle;
    while (shuffle.size() < 64)
        for (Move m : {G1F3, G8F6, F3G1, F6G8}) shuffle.push_back(m);
    shuffle.push_back(G1F3);
    const std::string file = folder.write("long.book", "2\n" + record(shuffle) + record({E2E4, E7E5}));
    const GameState before = GameState::take();
    EXPECT_FALSE(loadOpeningBook(file.c_str()));
    booktest::expectUnchanged(before);
    EXPECT_EQ(bookMoveHere(), 0);
    EXPECT_EQ(bookMoveAfter({E2E4}), 0);
    EXPECT_EQ(ttGeneration, generationBefore);
}

TEST_F(OpeningBookTest, LineOfExactlySixtyFourMovesIsStored) {
    std::vector<Move> shuffle;
    while (shuffle.size() < 64)
        for (Move m : {G1F3, G8F6, F3G1, F6G8}) shuffle.push_back(m);
    const GameState before = GameState::take();
    EXPECT_TRUE(loadOpeningBook(folder.write("full.book", "1\n" + record(shuffle)).c_str()));
    booktest::expectUnchanged(before);
    EXPECT_EQ(bookMoveHere(), G1F3);
    EXPECT_EQ(bookMoveAfter({G1F3}), G8F6);
}

TEST_F(OpeningBookTest, GarbageBytesFailWithoutDisturbingThePosition) {
    const std::string garbage = "1\n" + std::string("\x05\xff\xff\x13\x37\x00\x00\xde\xad\xbe\xef", 11);
    const GameState before = GameState::take();
    EXPECT_FALSE(loadOpeningBook(folder.write("garbage.book", garbage).c_str()));
    booktest::expectUnchanged(before);
    EXPECT_EQ(bookMoveHere(), 0);
}

TEST_F(OpeningBookTest, HeldBackRecordOfNoMovesFails) {
    EXPECT_FALSE(loadOpeningBook(folder.write("zero.book", "1\n" + record({})).c_str()));
    EXPECT_EQ(bookMoveHere(), 0);
}

TEST_F(OpeningBookTest, PositionReachedByAnotherMoveOrderHoldsTheBookMoveToo) {
    // 1.d4 d5 2.Nf3 Nf6 and 1.Nf3 d5 2.d4 Nf6 meet after four plies; only the first goes on.
    const std::string file = folder.write(
        "shared.book", "2\n" + record({D2D4, D7D5, G1F3, G8F6, E2E3}) + record({G1F3, D7D5, D2D4, G8F6}));
    ASSERT_TRUE(loadOpeningBook(file.c_str()));
    Move first = bookMoveHere();
    EXPECT_TRUE(first == D2D4 || first == G1F3) << "start position holds " << first;
    EXPECT_EQ(bookMoveAfter({D2D4}), D7D5);
    EXPECT_EQ(bookMoveAfter({G1F3}), D7D5);
    EXPECT_EQ(bookMoveAfter({D2D4, D7D5, G1F3, G8F6}), E2E3);
    EXPECT_EQ(bookMoveAfter({G1F3, D7D5, D2D4, G8F6}), E2E3);
}

// --- Single lines -----------------------------------------------------------------------------

TEST_F(OpeningBookTest, StoreBookLineWritesEveryPositionAndLeavesTheGameAsItFoundIt) {
    const Move line[] = {E2E4, E7E5, G1F3};
    const GameState before = GameState::take();
    EXPECT_TRUE(storeBookLine(line, 3));
    booktest::expectUnchanged(before);
    EXPECT_EQ(bookMoveHere(), E2E4);
    EXPECT_EQ(bookMoveAfter({E2E4}), E7E5);
    EXPECT_EQ(bookMoveAfter({E2E4, E7E5}), G1F3);
    // Book entries sit in the table of the side to move.
    saveUndoState();
    makeMove(E2E4);
    ++currentPly;
    const HashEntry* e = findEntry();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->generation(), 0);
    EXPECT_EQ(e->move(), E7E5);
    EXPECT_EQ(&TranspositionTable[BLACK][pos.keyLow & ttIndexMask].slot[0], e);
    --currentPly;
    unmakeMove(E2E4);
}

TEST_F(OpeningBookTest, StoreBookLineRefusesAnUnknownMoveAndWritesNothing) {
    const Move line[] = {E2E4, E7E5, makeMoveCode(F1, C4, MOVE_CAPTURE)};
    const GameState before = GameState::take();
    EXPECT_FALSE(storeBookLine(line, 3));
    booktest::expectUnchanged(before);
    EXPECT_EQ(bookMoveHere(), 0);
    EXPECT_EQ(bookMoveAfter({E2E4}), 0);
}

TEST_F(OpeningBookTest, TheLineStoredLastWinsInThePositionsItShares) {
    const Move kingPawn[] = {E2E4, E7E5};
    const Move queenPawn[] = {D2D4, D7D5};
    const Move kingPawnAgain[] = {E2E4, D7D5};
    ASSERT_TRUE(storeBookLine(kingPawn, 2));
    ASSERT_TRUE(storeBookLine(queenPawn, 2));
    EXPECT_EQ(bookMoveHere(), D2D4);
    ASSERT_TRUE(storeBookLine(kingPawnAgain, 2));
    EXPECT_EQ(bookMoveHere(), E2E4);
    EXPECT_EQ(bookMoveAfter({E2E4}), D7D5);
    EXPECT_EQ(bookMoveAfter({D2D4}), D7D5);
}

TEST_F(OpeningBookTest, MovesMatchByTheirWholeCodeIncludingTheKind) {
    // The right squares with a capture kind are not the generated quiet move.
    const Move line[] = {makeMoveCode(E2, E4, MOVE_CAPTURE)};
    EXPECT_FALSE(storeBookLine(line, 1));
    EXPECT_EQ(bookMoveHere(), 0);
}

}  // namespace
}  // namespace vostil
