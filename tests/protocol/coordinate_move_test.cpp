// Coordinate move text: moves written as e2e4 / e7e8q / e1g1, and words read back into moves
// whose kind comes from the position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "support/moves.h"
#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "common/move.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"

namespace vostil {
namespace {

using testing::legalMoves;

void setUp(const char* fen) { ASSERT_TRUE(setupGamePosition(fen, false)) << fen; }

std::string text(Move m) {
    char buffer[8];
    formatCoordinateMove(buffer, m);
    return buffer;
}

Move rootWord(const char* word) { return parseCoordinateMove(word, MoveSource::Root); }
Move searchWord(const char* word) { return parseCoordinateMove(word, MoveSource::Search); }

Move code(Square from, Square to, int kind = MOVE_QUIET) { return makeMoveCode(from, to, kind); }

// --- Writing ------------------------------------------------------------------------------

TEST(FormatCoordinateMove, SquaresAndPromotionLetters) {
    EXPECT_EQ(text(code(A2, E2)), "a2e2");
    EXPECT_EQ(text(code(A8, E8, MOVE_PROMO_Q)), "a8e8q");
    EXPECT_EQ(text(code(E2, E4)), "e2e4");
    EXPECT_EQ(text(code(H1, A8, MOVE_CAPTURE)), "h1a8");
    EXPECT_EQ(text(code(E5, D6, MOVE_EN_PASSANT)), "e5d6");
    const char* letters = "qnrbqnrb";
    for (int kind = MOVE_PROMO_Q; kind <= MOVE_PROMO_CAPTURE_B; ++kind)
        EXPECT_EQ(text(code(D7, C8, kind)), std::string("d7c8") + letters[kind - MOVE_PROMO_Q]);
    for (int kind = MOVE_PROMO_Q; kind <= MOVE_PROMO_B; ++kind)
        EXPECT_EQ(text(code(H2, H1, kind)), std::string("h2h1") + letters[kind - MOVE_PROMO_Q]);
}

TEST(FormatCoordinateMove, CastlingIsWrittenAsTheKingsMoveWhateverTheSquares) {
    EXPECT_EQ(text(CASTLE_WK_MOVE), "e1g1");
    EXPECT_EQ(text(CASTLE_WQ_MOVE), "e1c1");
    EXPECT_EQ(text(CASTLE_BK_MOVE), "e8g8");
    EXPECT_EQ(text(CASTLE_BQ_MOVE), "e8c8");
    EXPECT_EQ(text(Move(MOVE_CASTLE_WK << 12)), "e1g1");
    EXPECT_EQ(text(Move((MOVE_CASTLE_BQ << 12) | 0x0FFF)), "e8c8");
}

TEST(FormatCoordinateMove, ReturnsTheEndSoThatCallersCanAppend) {
    char buffer[32];
    char* end = formatCoordinateMove(buffer, code(G1, F3));
    EXPECT_EQ(end, buffer + 4);
    EXPECT_EQ(*end, '\0');
    *end++ = ' ';
    end = formatCoordinateMove(end, code(B7, B8, MOVE_PROMO_N));
    EXPECT_EQ(end, buffer + 10);
    *end++ = ' ';
    end = formatCoordinateMove(end, CASTLE_BK_MOVE);
    EXPECT_EQ(end, buffer + 15);
    EXPECT_STREQ(buffer, "g1f3 b7b8n e8g8");
}

TEST(FormatCoordinateMove, AResultCodePrintsAsItsSquares) {
    EXPECT_EQ(text(RESULT_MATED), "a8a8");
    EXPECT_EQ(text(RESULT_STALEMATE), "b8b8");
}

// --- Reading --------------------------------------------------------------------------------

TEST(ParseCoordinateMove, OrdinaryMovesFromTheStart) {
    setUp(START_FEN);
    EXPECT_EQ(rootWord("e2e4"), code(E2, E4));
    EXPECT_EQ(rootWord("g1f3"), code(G1, F3));
    EXPECT_EQ(rootWord("b8c6"), code(B8, C6));
    // Nothing is checked for legality: a rook onto its own knight is a "capture".
    EXPECT_EQ(rootWord("a1b1"), code(A1, B1, MOVE_CAPTURE));
}

TEST(ParseCoordinateMove, CastlingIsRecognisedByTheKingsSquaresWhileTheRightLasts) {
    setUp(START_FEN);
    ASSERT_EQ(pos.rootCastleFlags, 0x1B);
    // f1 and g1 are occupied: the parser does not care.
    EXPECT_EQ(rootWord("e1g1"), 0xDF3E);
    EXPECT_EQ(rootWord("e1c1"), 0xFF3A);
    EXPECT_EQ(rootWord("e8g8"), 0xC106);
    EXPECT_EQ(rootWord("e8c8"), 0xE102);

    setUp("r3k2r/8/8/8/8/8/8/R3K2R w Qk -");
    EXPECT_EQ(rootWord("e1g1"), code(E1, G1));
    EXPECT_EQ(rootWord("e1c1"), CASTLE_WQ_MOVE);
    EXPECT_EQ(rootWord("e8g8"), CASTLE_BK_MOVE);
    EXPECT_EQ(rootWord("e8c8"), code(E8, C8));

    setUp("r3k2r/8/8/8/8/8/8/R3K2R w - -");
    EXPECT_EQ(rootWord("e1g1"), code(E1, G1));
    EXPECT_EQ(rootWord("e8c8"), code(E8, C8));
}

TEST(ParseCoordinateMove, AJustCastledSideReadsItsKingWordsAsPlainMoves) {
    setUp("r3k1nr/8/8/8/8/8/8/R3K2R b KQkq -");
    pos.rootCastleFlags |= BLACK_CASTLED;
    EXPECT_EQ(rootWord("e8g8"), code(E8, G8, MOVE_CAPTURE));  // g8 holds a knight
    EXPECT_EQ(rootWord("e8c8"), code(E8, C8));
    EXPECT_EQ(rootWord("e1g1"), CASTLE_WK_MOVE);  // white is not frozen
    pos.rootCastleFlags = RIGHT_WK | RIGHT_WQ | WHITE_CASTLED;
    EXPECT_EQ(rootWord("e1g1"), code(E1, G1));
    EXPECT_EQ(rootWord("e1c1"), code(E1, C1));
}

TEST(ParseCoordinateMove, CastledStateInTheSearchPosition) {
    // After black castles short in the search, its rights are frozen until settled.
    setUp("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
    saveUndoState();
    makeMove(CASTLE_BK_MOVE);
    ASSERT_TRUE(pos.castleFlags & BLACK_CASTLED);
    ASSERT_TRUE(pos.castleFlags & RIGHT_BK);
    EXPECT_EQ(searchWord("e8g8"), code(E8, G8, MOVE_CAPTURE));
    EXPECT_EQ(rootWord("e8g8"), CASTLE_BK_MOVE);  // the game position has not moved
    unmakeMove(CASTLE_BK_MOVE);
}

TEST(ParseCoordinateMove, EnPassantAfterADoublePush) {
    setUp("rnbqkbnr/ppp1pppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq -");
    playGameMove(code(E2, E4));
    ASSERT_EQ(pos.rootEpSquare, E3);
    EXPECT_EQ(rootWord("d4e3"), code(D4, E3, MOVE_EN_PASSANT));
    EXPECT_EQ(rootWord("d4d3"), code(D4, D3));
    // The en-passant square of the search position is a different source.
    setUp("rnbqkbnr/ppp1pppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq -");
    saveUndoState();
    makeMove(code(E2, E4));
    EXPECT_EQ(searchWord("d4e3"), code(D4, E3, MOVE_EN_PASSANT));
    EXPECT_EQ(rootWord("d4e3"), code(D4, E3));
    unmakeMove(code(E2, E4));
}

TEST(ParseCoordinateMove, OnlyPawnsTakeEnPassant) {
    setUp("rnbqkbnr/pppppppp/8/8/3nP3/8/PPPP1PPP/RNBQKB1R b KQkq e3");
    ASSERT_EQ(pos.rootEpSquare, E3);
    EXPECT_EQ(rootWord("d4e3"), code(D4, E3));
}

TEST(ParseCoordinateMove, Promotions) {
    setUp("2r5/3PP1k1/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(rootWord("e7e8q"), code(E7, E8, MOVE_PROMO_Q));
    EXPECT_EQ(rootWord("e7e8n"), code(E7, E8, MOVE_PROMO_N));
    EXPECT_EQ(rootWord("e7e8r"), code(E7, E8, MOVE_PROMO_R));
    EXPECT_EQ(rootWord("e7e8b"), code(E7, E8, MOVE_PROMO_B));
    EXPECT_EQ(rootWord("d7c8q"), code(D7, C8, MOVE_PROMO_CAPTURE_Q));
    EXPECT_EQ(rootWord("d7c8n"), code(D7, C8, MOVE_PROMO_CAPTURE_N));
    EXPECT_EQ(rootWord("d7c8r"), code(D7, C8, MOVE_PROMO_CAPTURE_R));
    EXPECT_EQ(rootWord("d7c8b"), code(D7, C8, MOVE_PROMO_CAPTURE_B));
    EXPECT_EQ(moveKind(rootWord("e7e8q")), 4);
    EXPECT_EQ(moveKind(rootWord("d7c8n")), 9);
}

TEST(ParseCoordinateMove, AFifthCharacterThatNamesNoPieceIsIgnored) {
    setUp("2r5/3PP1k1/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(rootWord("e7e8k"), code(E7, E8));
    EXPECT_EQ(rootWord("e7e8Q"), code(E7, E8));
    EXPECT_EQ(rootWord("d7c8x"), code(D7, C8, MOVE_CAPTURE));
    EXPECT_EQ(rootWord("d7c8 "), code(D7, C8, MOVE_CAPTURE));
    // A piece other than a pawn never promotes.
    EXPECT_EQ(rootWord("e1e2q"), code(E1, E2));
    EXPECT_EQ(rootWord("g7g8n"), code(G7, G8));
}

TEST(ParseCoordinateMove, WordsThatAreNoMove) {
    setUp(START_FEN);
    for (const char* word : {"e2e9", "i2e4", "e0e4", "e2i4", "E2E4", "e2", "e2e", "", "0000",
                             "resign", "e2-e4", " e2e4"})
        EXPECT_EQ(rootWord(word), 0) << '"' << word << '"';
}

TEST(ParseCoordinateMove, EverySquareReadsBackAsWritten) {
    setUp("8/8/8/8/8/8/8/k6K w - -");
    for (Square from = 0; from < 64; ++from)
        for (Square to = 0; to < 64; ++to) {
            if (pos.board[to] != EMPTY || pos.board[from] != EMPTY) continue;
            const Move m = code(from, to);
            ASSERT_EQ(rootWord(text(m).c_str()), m) << text(m);
        }
}

// Every legal move of a position, written and read back against that position, comes back
// with the same kind: the parser and the generators agree on what each move is.
TEST(ParseCoordinateMove, GeneratedMovesReadBackThroughTheirText) {
    for (const char* fen : {
             START_FEN,
             "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
             "r3k2r/p1ppqpb1/bn2pnp1/3PN3/Pp2P3/2N2Q1p/1PPBBPPP/R3K2R b KQkq a3",
             "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
             "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N w - -",
             "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
         }) {
        SCOPED_TRACE(fen);
        setUp(fen);
        const std::vector<Move> moves = legalMoves();
        EXPECT_FALSE(moves.empty());
        for (Move m : moves) {
            EXPECT_EQ(rootWord(text(m).c_str()), m) << text(m);
            EXPECT_EQ(searchWord(text(m).c_str()), m) << text(m);
        }
    }
}

// --- Legality of a parsed move --------------------------------------------------------------

TEST(IsLegalMove, AcceptsPlayableMovesAndRejectsTheRest) {
    setUp(START_FEN);
    const Position before = pos;
    EXPECT_TRUE(isLegalMove(rootWord("e2e4")));
    EXPECT_TRUE(isLegalMove(rootWord("g1f3")));
    EXPECT_FALSE(isLegalMove(rootWord("e2e5")));
    EXPECT_FALSE(isLegalMove(rootWord("e1g1")));  // pieces in the way
    EXPECT_FALSE(isLegalMove(rootWord("e7e5")));  // not black's turn
    EXPECT_FALSE(isLegalMove(0));
    EXPECT_FALSE(isLegalMove(RESULT_MATED));
    EXPECT_TRUE(pos == before) << "testing a move leaves the position alone";

    // A pinned knight may not move; the king may not castle through an attacked square.
    setUp("4k3/8/8/8/1b6/8/3N4/R3K2R w KQ -");
    EXPECT_FALSE(isLegalMove(rootWord("d2f3")));
    EXPECT_TRUE(isLegalMove(rootWord("e1g1")));
    setUp("4k3/8/8/8/8/8/5r2/R3K2R w KQ -");
    EXPECT_FALSE(isLegalMove(rootWord("e1g1")));
    setUp("4k3/8/8/8/8/8/8/R3K2R w KQ -");
    EXPECT_TRUE(isLegalMove(rootWord("e1c1")));
}

}  // namespace
}  // namespace vostil
