// Setting a position up from FEN/EPD text, refusing what no game can reach, and writing the
// position back as FEN.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "board/position.h"
#include "board/tables.h"
#include "board_test_support.h"
#include "search/search.h"

namespace vostil {
namespace {

using boardtest::move;
using boardtest::setUp;
using boardtest::squares;

std::string fenOfPosition() {
    char text[128];
    positionToFen(text);
    return text;
}

PieceCode codeOfLetter(char c) {
    const char* letters = ".PpNnBbRrQqKk";
    return PieceCode(std::strchr(letters, c) - letters);
}

// --- The initial position ------------------------------------------------------------------

TEST(SetupPosition, InitialPositionFields) {
    ASSERT_TRUE(setupGamePosition(START_FEN, false));
    EXPECT_TRUE(gamePositionReady);
    EXPECT_EQ(pos.sideToMove, WHITE);
    EXPECT_EQ(pos.castleFlags, 0x1B);
    EXPECT_EQ(pos.epSquare, 0);
    EXPECT_EQ(pos.totalMaterial, 78);
    EXPECT_EQ(pos.kingSquare[WHITE], E1);
    EXPECT_EQ(pos.kingSquare[BLACK], E8);
    EXPECT_EQ(historyTop, GameHistory);
    EXPECT_EQ(historyTop->fiftyCounter, 0);
    EXPECT_EQ(pos.allOccupancy, 0xFFFF00000000FFFFull);
    EXPECT_EQ(pos.sideOccupancy[WHITE], 0xFFFFull);
    EXPECT_EQ(pos.pieceBoards[BLACK_PAWN], 0x00FF000000000000ull);
    EXPECT_EQ(pos.pieceBoards[WHITE_KNIGHT], squares({B1, G1}));
    EXPECT_EQ(pos.pieceBoards[BLACK_QUEEN], BIT[D8]);
    EXPECT_TRUE(positionIsConsistent());

    // The key of the 32 pieces, read off the diagram rank by rank.
    const char* ranks[8] = {"rnbqkbnr", "pppppppp", "", "", "", "", "PPPPPPPP", "RNBQKBNR"};
    uint64_t key = 0;
    uint32_t pawnKey = 0;
    for (int row = 0; row < 8; ++row)
        for (int file = 0; ranks[row][0] && file < 8; ++file) {
            const PieceCode c = codeOfLetter(ranks[row][file]);
            key ^= ZOBRIST[c][8 * row + file];
            if (c <= BLACK_PAWN) pawnKey ^= uint32_t(ZOBRIST[c][8 * row + file]);
        }
    EXPECT_EQ(hashKey(), key);
    EXPECT_EQ(pos.pawnKey, pawnKey);
    EXPECT_EQ(historyTop->keyLow, pos.keyLow);
    EXPECT_EQ(historyTop->keyHigh, pos.keyHigh);

    // The game position is the same position.
    EXPECT_EQ(std::memcmp(pos.rootBoard, pos.board, sizeof pos.board), 0);
    EXPECT_EQ(pos.rootSide, WHITE);
    EXPECT_EQ(pos.rootCastleFlags, 0x1B);
    EXPECT_EQ(pos.rootEpSquare, 0);
}

TEST(SetupPosition, KingsAlone) {
    setUp("4k3/8/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(pos.kingSquare[BLACK], E8);
    EXPECT_EQ(pos.kingSquare[WHITE], E1);
    EXPECT_EQ(pos.totalMaterial, 0);
    EXPECT_EQ(pos.castleFlags, 0);
    EXPECT_EQ(pos.allOccupancy, squares({E8, E1}));
    EXPECT_EQ(hashKey(), ZOBRIST[BLACK_KING][E8] ^ ZOBRIST[WHITE_KING][E1]);
    EXPECT_EQ(pos.pawnKey, 0u);
}

TEST(SetupPosition, EnPassantSquareIsKeptButNotKeyed) {
    setUp("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(pos.epSquare, E3);
    EXPECT_EQ(pos.rootEpSquare, E3);
    EXPECT_EQ(pos.sideToMove, BLACK);
    EXPECT_EQ(pos.rootSide, BLACK);
    EXPECT_EQ(hashKey(), pieceKeyOfBoard());
    EXPECT_EQ(pos.pawnKey, boardtest::pawnKeyOfBoard());
}

TEST(SetupPosition, EnPassantSquareIsReadWhenNeitherSideMayCastle) {
    // A dash for castling rights followed by a real en-passant square: black's d4 pawn may
    // take on e3 although nobody may castle any more.
    setUp("4k3/8/8/8/3pP3/8/8/4K3 b - e3");
    EXPECT_EQ(pos.epSquare, E3);
    setUp("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b - e3 0 5");
    EXPECT_EQ(pos.epSquare, E3);
    setUp("4k3/8/8/2pP4/8/8/8/4K3 w - c6");
    EXPECT_EQ(pos.epSquare, C6);
}

TEST(SetupPosition, SlashesAreOptionalAndLeadingBlanksSkipped) {
    setUp(START_FEN);
    const Position start = pos;
    for (const char* text : {"rnbqkbnrpppppppp8888PPPPPPPPRNBQKBNR w KQkq -",
                             "rnbqkbnr//pppppppp/8/8/8/8/PPPPPPPP//RNBQKBNR w KQkq -",
                             "   rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
                             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq - 0 1"}) {
        setUp(START_FEN);
        setUp("4k3/8/8/8/8/8/8/4K3 w - -");
        ASSERT_TRUE(setupGamePosition(text, false)) << text;
        EXPECT_TRUE(pos == start) << text;
    }
}

TEST(SetupPosition, PlacementEndsAtTheLastSquareEvenWithoutABlank) {
    setUp("4k3/8/8/8/8/8/8/4K3b - -");
    EXPECT_EQ(pos.sideToMove, BLACK);
}

TEST(SetupPosition, CastlingLettersInAnyOrderAndRepeated) {
    setUp("r3k2r/8/8/8/8/8/8/R3K2R w qkQK -");
    EXPECT_EQ(pos.castleFlags, 0x1B);
    setUp("r3k2r/8/8/8/8/8/8/R3K2R w KK -");
    EXPECT_EQ(pos.castleFlags, RIGHT_WK);
    setUp("r3k2r/8/8/8/8/8/8/R3K2R b Qk -");
    EXPECT_EQ(pos.castleFlags, RIGHT_WQ | RIGHT_BK);
}

TEST(SetupPosition, TextMayEndAfterAnyFieldFromTheSideToMoveOn) {
    setUp("r3k2r/8/8/8/8/8/8/R3K2R w");
    EXPECT_EQ(pos.castleFlags, 0);
    EXPECT_EQ(pos.epSquare, 0);
    EXPECT_EQ(pos.sideToMove, WHITE);
    setUp("r3k2r/8/8/8/8/8/8/R3K2R b KQkq");
    EXPECT_EQ(pos.castleFlags, 0x1B);
    EXPECT_EQ(pos.epSquare, 0);
    setUp("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e");
    EXPECT_EQ(pos.epSquare, 0);
    setUp("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(pos.epSquare, E3);
}

// --- Repaired fields ---------------------------------------------------------------------------

TEST(SetupPosition, RightsWithoutKingAndRookAtHomeAreDropped) {
    setUp("4k3/8/8/8/8/8/8/4K2R w KQkq -");
    EXPECT_EQ(pos.castleFlags, RIGHT_WK);
    setUp("r3k2r/8/8/8/8/8/8/R4K1R w KQkq -");
    EXPECT_EQ(pos.castleFlags, RIGHT_BK | RIGHT_BQ);
    setUp("1r2k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    EXPECT_EQ(pos.castleFlags, RIGHT_WK | RIGHT_WQ | RIGHT_BK);
    setUp("4k3/8/8/8/8/8/8/n3K2R w KQ -");
    EXPECT_EQ(pos.castleFlags, RIGHT_WK);
    EXPECT_EQ(pos.rootCastleFlags, RIGHT_WK);
}

TEST(SetupPosition, ImpossibleEnPassantSquaresAreDropped) {
    const char* texts[] = {
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e3",   // wrong side to move
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq e3",     // no pawn went by
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e4",   // wrong rank
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPPPPPP/RNBQKBN1 b Qkq e3",   // e2 still occupied
        "rnbqkbnr/pppppppp/8/8/4P3/4N3/PPPP1PPP/RNBQKB1R b KQkq e3",  // e3 occupied
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq z9",   // no square at all
        "rnbqkbnr/ppp1pppp/8/3p4/8/8/PPPPPPPP/RNBQKBNR w KQkq d3",   // black pawn, white to move
    };
    for (const char* text : texts) {
        setUp(text);
        EXPECT_EQ(pos.epSquare, 0) << text;
        EXPECT_EQ(pos.rootEpSquare, 0) << text;
    }
}

// --- Refused texts -------------------------------------------------------------------------

const char* const REFUSED_TEXTS[] = {
    "",
    "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "rnbqkbnr/pppppppp/8/8 /8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "rnbqkbnr/pppppppp/0/8/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "rnbqkbnr/ppppxppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR   ",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR - KQkq -",
    // Not one king of each colour.
    "8/8/8/8/8/8/8/8 w - -",
    "4k3/8/8/8/8/8/8/8 w - -",
    "8/8/8/8/8/8/8/4K3 b - -",
    "4k2k/8/8/8/8/8/8/4K3 w - -",
    "4k3/8/8/8/8/8/8/K3K3 w - -",
    // Pawns where no pawn can stand.
    "P3k3/8/8/8/8/8/8/4K3 w - -",
    "p3k3/8/8/8/8/8/8/4K3 w - -",
    "4k3/8/8/8/8/8/8/P3K3 w - -",
    "4k3/8/8/8/8/8/8/p3K3 b - -",
    // The side that just moved left its king attacked.
    "4k3/8/8/8/8/8/8/4R1K1 w - -",
    "4k3/8/3N4/8/8/8/8/6K1 w - -",
    "4k3/8/8/8/B7/8/8/6K1 w - -",
    "4k3/8/8/8/Q7/8/8/6K1 w - -",
    "4k3/3P4/8/8/8/8/8/6K1 w - -",
    "4k3/4K3/8/8/8/8/8/8 w - -",
    "6k1/8/8/8/8/8/3p4/4K3 b - -",
    "6k1/8/8/8/8/8/8/4K2r b - -",
    "6k1/8/8/8/8/5n2/8/4K3 b - -",
    "6k1/8/8/8/8/8/8/q3K3 b - -",
    "6k1/8/8/8/7b/8/8/4K3 b - -",
};

// Everything setup could touch, to compare before and after a refusal.
struct GameState {
    Position position;
    std::vector<HistoryEntry> history;
    HistoryEntry* top;
    PlyRecord* ply;

    static GameState take() {
        return {pos, std::vector<HistoryEntry>(GameHistory, GameHistory + GAME_HISTORY_SIZE),
                historyTop, currentPly};
    }

    bool historyEquals(const GameState& other) const {
        for (int i = 0; i < GAME_HISTORY_SIZE; ++i)
            if (history[i].keyLow != other.history[i].keyLow ||
                history[i].keyHigh != other.history[i].keyHigh ||
                history[i].fiftyCounter != other.history[i].fiftyCounter)
                return false;
        return true;
    }
};

TEST(SetupPosition, RefusedTextsLeaveTheGameAsItWas) {
    // A game a few moves old, so that history and root fields have something to lose.
    setUp("r3k2r/pppq1ppp/2n5/3pp3/4P3/2N2N2/PPPP1PPP/R3K2R w KQkq -");
    playGameMove(move(F3, G5));
    playGameMove(move(H7, H6));
    playGameMove(CASTLE_WK_MOVE);
    playGameMove(move(D5, D4));
    const GameState before = GameState::take();
    ASSERT_EQ(before.top - GameHistory, 4);

    for (const char* text : REFUSED_TEXTS) {
        gamePositionReady = true;
        EXPECT_FALSE(setupGamePosition(text, false)) << '"' << text << '"';
        EXPECT_FALSE(gamePositionReady) << text;
        const GameState after = GameState::take();
        EXPECT_TRUE(after.position == before.position) << text;
        EXPECT_EQ(after.top, before.top) << text;
        EXPECT_EQ(after.ply, before.ply) << text;
        EXPECT_TRUE(after.historyEquals(before)) << text;
    }
    // A good text afterwards makes the game playable again.
    EXPECT_TRUE(setupGamePosition(START_FEN, false));
    EXPECT_TRUE(gamePositionReady);
}

TEST(SetupPosition, KingInCheckOnTheMoveOrBehindABlockerIsAccepted) {
    setUp("4k3/8/8/8/8/8/8/4R1K1 b - -");     // black to move, in check
    setUp("4k3/4p3/8/8/8/8/8/4R1K1 w - -");   // the rook is blocked
    setUp("4k3/4P3/8/8/8/8/8/6K1 w - -");     // a pawn does not take straight ahead
    setUp("4k3/8/8/8/8/8/4p3/4K3 w - -");
    setUp("6k1/8/8/8/8/8/4P3/4K3 b - -");
}

TEST(SetupPosition, ANewGameForgetsTheOldHistoryAndSearchMemory) {
    setUp(START_FEN);
    playGameMove(move(E2, E4));
    playGameMove(move(E7, E5));
    playGameMove(move(G1, F3));
    historyScores[WHITE][123] = 99;
    historyScores[BLACK][4095] = 7;
    PlyRecords[10].killer1 = move(G1, F3);
    PlyRecords[71].killer2 = move(B1, C3);
    setUp("4k3/8/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(historyTop, GameHistory);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(GameHistory[i].keyLow, 0u) << i;
        EXPECT_EQ(GameHistory[i].keyHigh, 0u) << i;
    }
    EXPECT_EQ(historyScores[WHITE][123], 0);
    EXPECT_EQ(historyScores[BLACK][4095], 0);
    EXPECT_EQ(PlyRecords[10].killer1, 0);
    EXPECT_EQ(PlyRecords[71].killer2, 0);
}

// --- EPD operations ---------------------------------------------------------------------------

// Sets up `text`, returning setup's answer and what it printed.
bool setupCapturing(const std::string& text, std::string& printed) {
    ::testing::internal::CaptureStdout();
    const bool ok = setupGamePosition(text.c_str(), false);
    printed = ::testing::internal::GetCapturedStdout();
    return ok;
}

TEST(SetupPosition, AnUnrecognisedBestMoveIsReportedButThePositionStands) {
    const std::string start = START_FEN;
    std::string printed;
    setUp("4k3/8/8/8/8/8/8/4K3 w - -");
    EXPECT_FALSE(setupCapturing(start + " bm Zz9;", printed));
    EXPECT_EQ(printed, "Warning cannot recognize move: Zz9\r\n");
    EXPECT_TRUE(gamePositionReady);
    EXPECT_EQ(pos.totalMaterial, 78);
    EXPECT_EQ(pos.castleFlags, 0x1B);
    EXPECT_EQ(pos.rootBoard[E1], WHITE_KING);
    EXPECT_TRUE(positionIsConsistent());

    EXPECT_FALSE(setupCapturing(start + " am Zz9;", printed));
    EXPECT_FALSE(setupCapturing(start + " bm Zz9 ", printed));
    EXPECT_FALSE(setupCapturing(start + " 0 1 bm Zz9; id \"x\";", printed));
    EXPECT_EQ(printed, "Warning cannot recognize move: Zz9\r\n");
}

TEST(SetupPosition, AnOperandCountsOnlyWhenEndedByASemicolonOrBlank) {
    const std::string start = START_FEN;
    std::string printed;
    EXPECT_TRUE(setupCapturing(start + " bm Zz9", printed));  // ended by the text
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(setupCapturing(start + " bm Zzzzzzzzzz;", printed));  // longer than nine
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(setupCapturing(start + " bm ", printed));  // no operand
    EXPECT_TRUE(setupCapturing(start + " bx Zz9;", printed));  // no such operation
    EXPECT_TRUE(gamePositionReady);
}

TEST(SetupPosition, ARecognisedBestMoveIsAccepted) {
    const std::string start = START_FEN;
    std::string printed;
    EXPECT_TRUE(setupCapturing(start + " bm Nf3;", printed));
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(setupCapturing(start + " am e4;", printed));
    EXPECT_EQ(printed, "");
}

// --- FEN output ---------------------------------------------------------------------------------

TEST(PositionToFen, InitialPosition) {
    setUp(START_FEN);
    char text[128];
    std::memset(text, 0x7F, sizeof text);
    positionToFen(text);
    EXPECT_STREQ(text, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    EXPECT_EQ(text[std::strlen(text) + 1], 0x7F) << "nothing written past the end";
}

TEST(PositionToFen, AfterTheFirstMove) {
    setUp(START_FEN);
    playGameMove(move(E2, E4));
    EXPECT_EQ(fenOfPosition(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
}

TEST(PositionToFen, EmptyRowsAndALonePieceOnTheHFile) {
    setUp("7k/8/8/8/8/8/8/K7 w - -");
    EXPECT_EQ(fenOfPosition(), "7k/8/8/8/8/8/8/K7 w - -");
    setUp("8/8/8/3k4/8/8/8/4K2R w K -");
    EXPECT_EQ(fenOfPosition(), "8/8/8/3k4/8/8/8/4K2R w K -");
}

TEST(PositionToFen, SettledCastlingDropsTheCastledSidesLetters) {
    setUp("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -");
    playGameMove(CASTLE_WK_MOVE);
    EXPECT_EQ(fenOfPosition(), "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R4RK1 b kq -");
    playGameMove(CASTLE_BQ_MOVE);
    EXPECT_EQ(fenOfPosition(), "2kr3r/pppppppp/8/8/8/8/PPPPPPPP/R4RK1 w - -");
}

TEST(PositionToFen, AFullBoardFitsTheBuffer) {
    setUp("rnbqkbnr/pppppppp/nnnnnnnn/nnnnnnnn/NNNNNNNN/NNNNNNNN/PPPPPPPP/RNBQKBNR w KQkq -");
    char text[128];
    std::memset(text, 0x7F, sizeof text);
    positionToFen(text);
    EXPECT_STREQ(text,
                 "rnbqkbnr/pppppppp/nnnnnnnn/nnnnnnnn/NNNNNNNN/NNNNNNNN/PPPPPPPP/RNBQKBNR w KQkq -");
    EXPECT_LT(std::strlen(text), 82u);
}

// Text in, position, text out: the same four fields come back, and reading them again gives
// the same position.
class FenRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(FenRoundTrip, WritesBackWhatItRead) {
    setUp(GetParam());
    const Position first = pos;
    const std::string written = fenOfPosition();
    EXPECT_EQ(written, GetParam());
    setUp(written.c_str());
    EXPECT_TRUE(pos == first);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, FenRoundTrip,
    ::testing::Values(
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
        "4k3/8/8/8/8/8/8/4K3 w - -",
        "7k/8/8/8/8/8/8/K7 b - -",
        "r3k2r/8/8/8/8/8/8/R3K2R w Kq -",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
        "8/8/8/8/8/8/8/KQk5 b - -",
        "4k3/8/8/8/3pP3/8/8/4K3 b - e3",
        "4k3/8/8/2pP4/8/8/8/4K3 w - c6"));

}  // namespace
}  // namespace vostil
