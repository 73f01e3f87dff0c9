// The book that ships with the engine: its readable source and the Vostil.book the build makes
// from it. Every position of every line must answer from the book after a load.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "book/book_test_support.h"
#include "book/opening_book.h"
#include "common/move.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"

namespace vostil {
namespace {

using booktest::bookMoveHere;

const std::string SHIPPED_BOOK = VOSTIL_BUILD_DIR "/Vostil.book";
const std::string BOOK_SOURCE = VOSTIL_SOURCE_DIR "/data/book.txt";

struct SourceLine {
    int number;
    std::vector<std::string> words;
};

std::vector<SourceLine> readSource() {
    std::vector<SourceLine> lines;
    std::ifstream in(BOOK_SOURCE);
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        size_t first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos || text[first] == '#') continue;
        SourceLine line{number, {}};
        std::istringstream words(text);
        for (std::string w; words >> w;) line.words.push_back(w);
        lines.push_back(line);
    }
    return lines;
}

class ShippedBookTest : public ::testing::Test {
protected:
    void SetUp() override {
        lines = readSource();
        ASSERT_FALSE(lines.empty()) << "cannot read " << BOOK_SOURCE;
        ASSERT_TRUE(setupGamePosition(START_FEN, false));
    }

    std::vector<SourceLine> lines;
};

TEST_F(ShippedBookTest, SourceCoversTheOpeningsWithLinesOfEightToTwentyPlies) {
    EXPECT_GE(lines.size(), 300u);
    std::set<std::string> firstMoves;
    for (const SourceLine& line : lines) {
        EXPECT_GE(line.words.size(), 8u) << "line " << line.number;
        EXPECT_LE(line.words.size(), 20u) << "line " << line.number;
        firstMoves.insert(line.words[0]);
    }
    for (const char* move : {"e2e4", "d2d4", "c2c4", "g1f3"})
        EXPECT_EQ(firstMoves.count(move), 1u) << "no line opens with " << move;
}

TEST_F(ShippedBookTest, BuiltFileHoldsOneRecordPerSourceLine) {
    std::ifstream book(SHIPPED_BOOK, std::ios::binary);
    ASSERT_TRUE(book) << "cannot read " << SHIPPED_BOOK;
    size_t count = 0;
    book >> count;
    EXPECT_EQ(count, lines.size());
}

TEST_F(ShippedBookTest, LoadsAndAnswersInEveryPositionOfEveryLine) {
    const booktest::GameState before = booktest::GameState::take();
    ASSERT_TRUE(loadOpeningBook(SHIPPED_BOOK.c_str()));
    booktest::expectUnchanged(before);

    std::set<std::string> firstMoves;
    for (const SourceLine& line : lines) firstMoves.insert(line.words[0]);
    char text[8];
    formatCoordinateMove(text, bookMoveHere());
    EXPECT_EQ(firstMoves.count(text), 1u) << "the start position plays " << text;

    for (const SourceLine& line : lines) {
        std::vector<Move> played;
        for (const std::string& word : line.words) {
            Move book = bookMoveHere();
            // A miss here usually means two book positions share a table bucket, where the
            // later store wins; reshape one of the lines.
            EXPECT_NE(book, 0) << "line " << line.number << ": no book move before " << word;
            EXPECT_TRUE(book == 0 || isLegalMove(book))
                << "line " << line.number << ": illegal book move before " << word;
            Move m = parseCoordinateMove(word.c_str(), MoveSource::Search);
            ASSERT_TRUE(isLegalMove(m)) << "line " << line.number << ": " << word;
            saveUndoState();
            makeMove(m);
            ++currentPly;
            played.push_back(m);
        }
        for (size_t i = played.size(); i > 0; --i) {
            --currentPly;
            unmakeMove(played[i - 1]);
        }
    }
    EXPECT_TRUE(pos == before.position);
    EXPECT_EQ(currentPly, before.ply);
}

}  // namespace
}  // namespace vostil
