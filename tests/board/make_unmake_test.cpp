// Making and taking back moves: every kind of move restores the position exactly, keeps the
// redundant views in step and folds the right keys into the hash.
#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>
#include <string>

#include "board/make_move.h"
#include "board/position.h"
#include "board/tables.h"
#include "board/unmake_move.h"
#include "board_test_support.h"

namespace vostil {
namespace {

using boardtest::epKey;
using boardtest::move;
using boardtest::setUp;

constexpr const char* CASTLING_FEN_WHITE = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -";
constexpr const char* CASTLING_FEN_BLACK = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq -";
constexpr const char* OPEN_CORNERS_WHITE = "r3k2r/1ppppp1p/6N1/8/8/8/1PPPPPPP/R3K2R w KQkq -";
constexpr const char* OPEN_CORNERS_BLACK = "r3k2r/1ppppppp/8/8/8/6n1/1PPPPPPP/R3K2R b KQkq -";
constexpr const char* WHITE_PROMOTES = "1r2k3/P7/8/8/8/8/8/4K3 w - -";
constexpr const char* BLACK_PROMOTES = "4k3/8/8/8/8/8/7p/4K1N1 b - -";

struct MoveCase {
    const char* name;
    const char* fen;
    Move move;
};

const MoveCase MOVE_CASES[] = {
    {"knight move", START_FEN, move(G1, F3)},
    {"pawn single push", START_FEN, move(E2, E3)},
    {"white double push", START_FEN, move(E2, E4)},
    {"black double push after e4",
     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", move(D7, D5)},
    {"pawn takes pawn", "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6",
     move(E4, D5, MOVE_CAPTURE)},
    {"knight takes bishop", "rnbqk1nr/pppp1ppp/8/4b3/8/5N2/PPPPPPPP/RNBQKB1R w KQkq -",
     move(F3, E5, MOVE_CAPTURE)},
    {"white en passant", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq d6",
     move(E5, D6, MOVE_EN_PASSANT)},
    {"black en passant", "rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
     move(D4, E3, MOVE_EN_PASSANT)},
    {"white promotes to queen", WHITE_PROMOTES, move(A7, A8, MOVE_PROMO_Q)},
    {"white promotes to knight", WHITE_PROMOTES, move(A7, A8, MOVE_PROMO_N)},
    {"white promotes to rook", WHITE_PROMOTES, move(A7, A8, MOVE_PROMO_R)},
    {"white promotes to bishop", WHITE_PROMOTES, move(A7, A8, MOVE_PROMO_B)},
    {"white takes and promotes to queen", WHITE_PROMOTES, move(A7, B8, MOVE_PROMO_CAPTURE_Q)},
    {"white takes and promotes to knight", WHITE_PROMOTES, move(A7, B8, MOVE_PROMO_CAPTURE_N)},
    {"white takes and promotes to rook", WHITE_PROMOTES, move(A7, B8, MOVE_PROMO_CAPTURE_R)},
    {"white takes and promotes to bishop", WHITE_PROMOTES, move(A7, B8, MOVE_PROMO_CAPTURE_B)},
    {"black promotes to queen", BLACK_PROMOTES, move(H2, H1, MOVE_PROMO_Q)},
    {"black promotes to knight", BLACK_PROMOTES, move(H2, H1, MOVE_PROMO_N)},
    {"black promotes to rook", BLACK_PROMOTES, move(H2, H1, MOVE_PROMO_R)},
    {"black promotes to bishop", BLACK_PROMOTES, move(H2, H1, MOVE_PROMO_B)},
    {"black takes and promotes to queen", BLACK_PROMOTES, move(H2, G1, MOVE_PROMO_CAPTURE_Q)},
    {"black takes and promotes to knight", BLACK_PROMOTES, move(H2, G1, MOVE_PROMO_CAPTURE_N)},
    {"black takes and promotes to rook", BLACK_PROMOTES, move(H2, G1, MOVE_PROMO_CAPTURE_R)},
    {"black takes and promotes to bishop", BLACK_PROMOTES, move(H2, G1, MOVE_PROMO_CAPTURE_B)},
    {"promotion taking the a8 rook", "r3k3/1P6/8/8/8/8/8/4K3 w q -",
     move(B7, A8, MOVE_PROMO_CAPTURE_N)},
    {"white castles short", CASTLING_FEN_WHITE, CASTLE_WK_MOVE},
    {"white castles long", CASTLING_FEN_WHITE, CASTLE_WQ_MOVE},
    {"black castles short", CASTLING_FEN_BLACK, CASTLE_BK_MOVE},
    {"black castles long", CASTLING_FEN_BLACK, CASTLE_BQ_MOVE},
    {"white king steps aside", CASTLING_FEN_WHITE, move(E1, F1)},
    {"black king steps aside", CASTLING_FEN_BLACK, move(E8, D8)},
    {"white a-rook moves", OPEN_CORNERS_WHITE, move(A1, A5)},
    {"white h-rook moves", CASTLING_FEN_WHITE, move(H1, G1)},
    {"black a-rook moves", OPEN_CORNERS_BLACK, move(A8, A4)},
    {"black h-rook moves", CASTLING_FEN_BLACK, move(H8, F8)},
    {"rook takes rook on a8", OPEN_CORNERS_WHITE, move(A1, A8, MOVE_CAPTURE)},
    {"knight takes rook on h8", OPEN_CORNERS_WHITE, move(G6, H8, MOVE_CAPTURE)},
    {"rook takes rook on a1", OPEN_CORNERS_BLACK, move(A8, A1, MOVE_CAPTURE)},
    {"knight takes rook on h1", OPEN_CORNERS_BLACK, move(G3, H1, MOVE_CAPTURE)},
    {"white king captures", "4k3/8/8/8/8/8/4p3/4K3 w - -", move(E1, E2, MOVE_CAPTURE)},
    {"black king captures", "4k3/4P3/8/8/8/8/8/4K3 b - -", move(E8, E7, MOVE_CAPTURE)},
    {"queen move", "4k3/8/8/8/8/8/8/3QK3 w - -", move(D1, H5)},
};

bool isPawn(PieceCode c) { return c == WHITE_PAWN || c == BLACK_PAWN; }

TEST(MakeUnmake, EveryKindOfMoveIsTakenBackExactly) {
    for (const MoveCase& c : MOVE_CASES) {
        SCOPED_TRACE(c.name);
        setUp(c.fen);
        const boardtest::Snapshot before = boardtest::Snapshot::take();
        const uint16_t flagsBefore = pos.castleFlags;
        const int epBefore = pos.epSquare;
        const PieceCode mover = pos.board[moveFrom(c.move)];
        boardtest::KeyModel model;

        saveUndoState();
        makeMove(c.move);

        EXPECT_TRUE(positionIsConsistent());
        EXPECT_EQ(historyTop, before.top + 1);
        EXPECT_EQ(pos.sideToMove, before.position.sideToMove ^ 1);
        model.afterMove(flagsBefore, epBefore);
        EXPECT_EQ(hashKey(), model.expectedKey());
        EXPECT_EQ(pos.pawnKey, model.expectedPawnKey());
        const bool quietPieceMove = moveKind(c.move) == MOVE_QUIET && !isPawn(mover);
        EXPECT_EQ(historyTop->fiftyCounter, quietPieceMove ? 1 : 0);
        // The game position is not the search's business.
        EXPECT_EQ(pos.rootSide, before.position.rootSide);
        EXPECT_EQ(pos.rootCastleFlags, before.position.rootCastleFlags);
        EXPECT_EQ(pos.rootEpSquare, before.position.rootEpSquare);

        unmakeMove(c.move);
        boardtest::expectRestored(before, c.name);
    }
}

TEST(MakeUnmake, MovesTakenBackFromADeeperPlyRestoreToo) {
    // The snapshot lives in whatever record currentPly points at.
    for (const MoveCase& c : MOVE_CASES) {
        SCOPED_TRACE(c.name);
        setUp(c.fen);
        const boardtest::Snapshot before = boardtest::Snapshot::take();
        currentPly = PlyRecords + 40;
        boardtest::playInSearch(c.move);
        boardtest::takeBackInSearch(c.move);
        boardtest::expectRestored(before, c.name);
        currentPly = PlyRecords;
    }
}

TEST(MakeMove, DoublePushSetsTheEnPassantSquareAndItsKey) {
    setUp(START_FEN);
    const uint64_t startKey = hashKey();
    saveUndoState();
    makeMove(move(E2, E4));
    EXPECT_EQ(pos.epSquare, E3);
    EXPECT_EQ(pos.sideToMove, BLACK);
    EXPECT_EQ(hashKey(), startKey ^ ZOBRIST[WHITE_PAWN][E2] ^ ZOBRIST[WHITE_PAWN][E4] ^ epKey(E3));
    EXPECT_EQ(pos.pawnKey, boardtest::pawnKeyOfBoard() ^ uint32_t(epKey(E3)));
    EXPECT_EQ(historyTop - GameHistory, 1);
    EXPECT_EQ(historyTop->fiftyCounter, 0) << "a pawn move cannot be repeated";
    EXPECT_EQ(historyTop->keyLow, pos.keyLow);
    EXPECT_EQ(historyTop->keyHigh, pos.keyHigh);

    // Any reply ends the chance and takes the key out again.
    ++currentPly;
    saveUndoState();
    makeMove(move(G8, F6));
    EXPECT_EQ(pos.epSquare, 0);
    EXPECT_EQ(hashKey(), pieceKeyOfBoard());
    EXPECT_EQ(pos.pawnKey, boardtest::pawnKeyOfBoard());
    EXPECT_EQ(historyTop->fiftyCounter, 1);
}

TEST(MakeMove, FiftyMoveCounterCountsOnlyReversibleMoves) {
    setUp("r3k2r/pppq1ppp/2n5/3pp3/4P3/2N2N2/PPPP1PPP/R3K2R w KQkq -");
    struct Step {
        Move move;
        int counter;
    };
    const Step steps[] = {
        {move(F3, G5), 1},                 // knight
        {move(D7, D6), 2},                 // queen
        {move(G5, F3), 3},                 // knight back
        {move(D6, D7), 4},                 // queen back
        {move(C3, D5, MOVE_CAPTURE), 0},   // capture
        {move(H7, H6), 0},                 // pawn push
        {move(D5, C3), 1},                 // knight
        {CASTLE_BQ_MOVE, 0},               // castling
        {move(A2, A3), 0},                 // pawn push
        {move(C8, B8), 1},                 // king
    };
    for (const Step& step : steps) {
        boardtest::playInSearch(step.move);
        ASSERT_EQ(historyTop->fiftyCounter, step.counter) << std::hex << step.move;
    }
    for (int i = int(std::size(steps)) - 1; i >= 0; --i) boardtest::takeBackInSearch(steps[i].move);
    EXPECT_EQ(historyTop, GameHistory);
    EXPECT_TRUE(positionIsConsistent());
}

TEST(MakeMove, EnPassantByWhiteRemovesThePawnBehindTheTarget) {
    setUp("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq d6");
    const Move exd6 = move(E5, D6, MOVE_EN_PASSANT);
    EXPECT_EQ(exd6, 0x2713);
    const int material = pos.totalMaterial;
    saveUndoState();
    makeMove(exd6);
    EXPECT_EQ(pos.board[D6], WHITE_PAWN);
    EXPECT_EQ(pos.board[D5], EMPTY);
    EXPECT_EQ(pos.board[E5], EMPTY);
    EXPECT_EQ(pos.totalMaterial, material - 1);
    EXPECT_EQ(currentPly->capturedPiece, BLACK_PAWN);
    // The other black pawn's double step no longer matters.
    EXPECT_EQ(pos.board[F5], BLACK_PAWN);
}

TEST(UnmakeMove, EnPassantByBlackPutsTheWhitePawnBackOnE4) {
    setUp("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    const Move dxe3 = move(D4, E3, MOVE_EN_PASSANT);
    saveUndoState();
    makeMove(dxe3);
    EXPECT_EQ(pos.board[E4], EMPTY);
    EXPECT_EQ(pos.board[E3], BLACK_PAWN);
    unmakeMove(dxe3);
    EXPECT_EQ(pos.board[E4], WHITE_PAWN);
    EXPECT_EQ(pos.board[D4], BLACK_PAWN);
    EXPECT_EQ(pos.board[E3], EMPTY);
    EXPECT_EQ(pos.epSquare, E3);
}

TEST(MakeMove, MaterialChangesOfCapturesAndPromotions) {
    struct Expectation {
        const char* fen;
        Move move;
        int delta;
        PieceCode captured;
    };
    const Expectation cases[] = {
        {"r3k3/1P6/8/8/8/8/8/4K3 w q -", move(B7, A8, MOVE_PROMO_CAPTURE_N), 2 - 5, BLACK_ROOK},
        {"1r2k3/P7/8/8/8/8/8/4K3 w - -", move(A7, B8, MOVE_PROMO_CAPTURE_Q), 8 - 5, BLACK_ROOK},
        {BLACK_PROMOTES, move(H2, G1, MOVE_PROMO_CAPTURE_R), 4 - 3, WHITE_KNIGHT},
        {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -", move(E4, D5, MOVE_CAPTURE),
         -1, BLACK_PAWN},
        {"rnbqk1nr/pppp1ppp/8/4b3/8/5N2/PPPPPPPP/RNBQKB1R w KQkq -", move(F3, E5, MOVE_CAPTURE),
         -3, BLACK_BISHOP},
        {"4k3/8/8/8/8/8/3q4/4K3 w - -", move(E1, D2, MOVE_CAPTURE), -9, BLACK_QUEEN},
    };
    for (const Expectation& c : cases) {
        SCOPED_TRACE(c.fen);
        setUp(c.fen);
        const int material = pos.totalMaterial;
        saveUndoState();
        makeMove(c.move);
        EXPECT_EQ(currentPly->materialDelta, c.delta);
        EXPECT_EQ(currentPly->capturedPiece, c.captured);
        EXPECT_EQ(pos.totalMaterial, material + c.delta);
    }
    const struct {
        int kind;
        int delta;
    } pushes[] = {{MOVE_PROMO_Q, 8}, {MOVE_PROMO_N, 2}, {MOVE_PROMO_R, 4}, {MOVE_PROMO_B, 2}};
    for (auto push : pushes) {
        setUp(WHITE_PROMOTES);
        saveUndoState();
        makeMove(move(A7, A8, push.kind));
        EXPECT_EQ(currentPly->materialDelta, push.delta);
        EXPECT_EQ(pos.totalMaterial, 5 + 1 + push.delta);
    }
}

TEST(MakeMove, PromotionPlacesThePieceOfTheMoversColour) {
    const PieceCode white[4] = {WHITE_QUEEN, WHITE_KNIGHT, WHITE_ROOK, WHITE_BISHOP};
    const PieceCode black[4] = {BLACK_QUEEN, BLACK_KNIGHT, BLACK_ROOK, BLACK_BISHOP};
    for (int i = 0; i < 4; ++i) {
        setUp(WHITE_PROMOTES);
        saveUndoState();
        makeMove(move(A7, B8, MOVE_PROMO_CAPTURE_Q + i));
        EXPECT_EQ(pos.board[B8], white[i]);
        EXPECT_EQ(pos.pieceBoards[white[i]], BIT[B8]);
        EXPECT_EQ(pos.pieceBoards[WHITE_PAWN], 0u);
        EXPECT_EQ(pos.pieceBoards[BLACK_ROOK], 0u);
        setUp(BLACK_PROMOTES);
        saveUndoState();
        makeMove(move(H2, H1, MOVE_PROMO_Q + i));
        EXPECT_EQ(pos.board[H1], black[i]);
        EXPECT_EQ(pos.board[H2], EMPTY);
    }
}

uint64_t castlingPieceKeys(PieceCode king, Square kingFrom, Square kingTo, PieceCode rook,
                           Square rookFrom, Square rookTo) {
    return ZOBRIST[king][kingFrom] ^ ZOBRIST[king][kingTo] ^ ZOBRIST[rook][rookFrom] ^
           ZOBRIST[rook][rookTo];
}

TEST(MakeMove, WhiteShortCastlingKeepsItsOwnRightFrozenAndFoldsOnlyTheOther) {
    setUp(CASTLING_FEN_WHITE);
    ASSERT_EQ(pos.castleFlags, 0x1B);
    const uint64_t key = hashKey();
    saveUndoState();
    makeMove(CASTLE_WK_MOVE);
    EXPECT_EQ(pos.castleFlags, 0x5D);
    EXPECT_EQ(hashKey(), key ^ ZOBRIST[0][C1] ^
                             castlingPieceKeys(WHITE_KING, E1, G1, WHITE_ROOK, H1, F1));
    EXPECT_EQ(pos.kingSquare[WHITE], G1);
    EXPECT_EQ(pos.board[E1], EMPTY);
    EXPECT_EQ(pos.board[F1], WHITE_ROOK);
    EXPECT_EQ(pos.board[G1], WHITE_KING);
    EXPECT_EQ(pos.board[H1], EMPTY);
    EXPECT_EQ(historyTop->fiftyCounter, 0);

    unmakeMove(CASTLE_WK_MOVE);
    EXPECT_EQ(pos.castleFlags, 0x1B);
    EXPECT_EQ(pos.board[E1], WHITE_KING);
    EXPECT_EQ(pos.board[H1], WHITE_ROOK);
    EXPECT_EQ(pos.kingSquare[WHITE], E1);
}

TEST(MakeMove, EachCastlingSetsItsRecordAndGivesUpTheOtherRight) {
    const struct {
        const char* fen;
        Move move;
        uint16_t flags;
        Square otherRightKey;
        uint64_t pieceKeys;
        int side;
        Square kingTo;
    } cases[] = {
        {CASTLING_FEN_WHITE, CASTLE_WK_MOVE, 0x5D, C1,
         castlingPieceKeys(WHITE_KING, E1, G1, WHITE_ROOK, H1, F1), WHITE, G1},
        {CASTLING_FEN_WHITE, CASTLE_WQ_MOVE, 0x9E, G1,
         castlingPieceKeys(WHITE_KING, E1, C1, WHITE_ROOK, A1, D1), WHITE, C1},
        {CASTLING_FEN_BLACK, CASTLE_BK_MOVE, 0x12B, C8,
         castlingPieceKeys(BLACK_KING, E8, G8, BLACK_ROOK, H8, F8), BLACK, G8},
        {CASTLING_FEN_BLACK, CASTLE_BQ_MOVE, 0x233, G8,
         castlingPieceKeys(BLACK_KING, E8, C8, BLACK_ROOK, A8, D8), BLACK, C8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.move));
        setUp(c.fen);
        const uint64_t key = hashKey();
        saveUndoState();
        makeMove(c.move);
        EXPECT_EQ(pos.castleFlags, c.flags);
        EXPECT_EQ(hashKey(), key ^ ZOBRIST[0][c.otherRightKey] ^ c.pieceKeys);
        EXPECT_EQ(pos.kingSquare[c.side], c.kingTo);
    }
}

TEST(MakeMove, CastlingWithoutTheOtherRightFoldsNoRightKey) {
    setUp("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w Kkq -");
    const uint64_t key = hashKey();
    saveUndoState();
    makeMove(CASTLE_WK_MOVE);
    EXPECT_EQ(pos.castleFlags, RIGHT_WK | WHITE_CASTLED | WHITE_CASTLED_SHORT | RIGHT_BK | RIGHT_BQ);
    EXPECT_EQ(hashKey(), key ^ castlingPieceKeys(WHITE_KING, E1, G1, WHITE_ROOK, H1, F1));
}

TEST(MakeMove, RookTakingTheA8RookEndsBothQueensideRights) {
    setUp(OPEN_CORNERS_WHITE);
    const uint64_t key = hashKey();
    saveUndoState();
    makeMove(move(A1, A8, MOVE_CAPTURE));
    EXPECT_EQ(pos.castleFlags, RIGHT_WK | RIGHT_BK);
    EXPECT_EQ(hashKey(), key ^ ZOBRIST[0][C8] ^ ZOBRIST[0][C1] ^ ZOBRIST[WHITE_ROOK][A1] ^
                             ZOBRIST[WHITE_ROOK][A8] ^ ZOBRIST[BLACK_ROOK][A8]);
}

TEST(MakeMove, KingMoveEndsBothRightsOfItsSide) {
    setUp(CASTLING_FEN_BLACK);
    const uint64_t key = hashKey();
    saveUndoState();
    makeMove(move(E8, F8));
    EXPECT_EQ(pos.castleFlags, RIGHT_WK | RIGHT_WQ);
    EXPECT_EQ(hashKey(), key ^ ZOBRIST[0][G8] ^ ZOBRIST[0][C8] ^ ZOBRIST[BLACK_KING][E8] ^
                             ZOBRIST[BLACK_KING][F8]);
    EXPECT_EQ(pos.kingSquare[BLACK], F8);
}

TEST(MakeMove, ALostRightIsNotFoldedAgain) {
    // Only the black queenside right is left: taking on h8 and moving the h1 rook change nothing.
    setUp("r3k2r/pppppp1p/6N1/8/8/8/PPPPPPPP/R3K2R w q -");
    const uint64_t key = hashKey();
    saveUndoState();
    makeMove(move(G6, H8, MOVE_CAPTURE));
    EXPECT_EQ(pos.castleFlags, RIGHT_BQ);
    EXPECT_EQ(hashKey(), key ^ ZOBRIST[WHITE_KNIGHT][G6] ^ ZOBRIST[WHITE_KNIGHT][H8] ^
                             ZOBRIST[BLACK_ROOK][H8]);
}

TEST(MakeMove, RightsFrozenByCastlingAreNotTouchedByLaterMoves) {
    // White castles short, then its rook comes back to h1 and leaves it again, and the king
    // steps on: while WHITE_CASTLED is set none of this may change the flags or fold a key.
    setUp("r3k2r/7p/8/8/8/8/8/R3K2R w KQkq -");
    const boardtest::Snapshot start = boardtest::Snapshot::take();
    const Move line[] = {CASTLE_WK_MOVE, move(H7, H6), move(F1, H1), move(H6, H5), move(H1, H2),
                         move(A8, A7), move(G1, G2)};
    boardtest::playInSearch(line[0]);
    boardtest::playInSearch(line[1]);  // black loses nothing: a pawn moves
    ASSERT_EQ(pos.castleFlags, 0x5D);
    for (int i = 2; i < 7; ++i) {
        const uint16_t flags = pos.castleFlags;
        const uint64_t key = hashKey();
        const Square from = moveFrom(line[i]), to = moveTo(line[i]);
        const PieceCode piece = pos.board[from];
        boardtest::playInSearch(line[i]);
        if (piece == BLACK_ROOK) {  // black's own rights are not frozen
            EXPECT_EQ(pos.castleFlags, flags & ~RIGHT_BQ);
            EXPECT_EQ(hashKey(), key ^ ZOBRIST[piece][from] ^ ZOBRIST[piece][to] ^ ZOBRIST[0][C8]);
        } else {
            EXPECT_EQ(pos.castleFlags, flags) << i;
            EXPECT_EQ(hashKey(), key ^ ZOBRIST[piece][from] ^ ZOBRIST[piece][to]) << i;
        }
        EXPECT_TRUE(positionIsConsistent());
    }
    for (int i = 6; i >= 0; --i) boardtest::takeBackInSearch(line[i]);
    boardtest::expectRestored(start, "the whole line");
}

TEST(UnmakeMove, KingCaptureRestoresTheKingSquare) {
    setUp("4k3/8/8/8/8/8/4p3/4K3 w - -");
    const Position before = pos;
    saveUndoState();
    makeMove(move(E1, E2, MOVE_CAPTURE));
    EXPECT_EQ(pos.kingSquare[WHITE], E2);
    EXPECT_EQ(pos.pieceBoards[BLACK_PAWN], 0u);
    unmakeMove(move(E1, E2, MOVE_CAPTURE));
    EXPECT_EQ(pos.kingSquare[WHITE], E1);
    EXPECT_EQ(pos.board[E2], BLACK_PAWN);
    EXPECT_TRUE(pos == before);
}

TEST(MakeUnmake, AResultCodeIsAnInternalError) {
    setUp(START_FEN);
    saveUndoState();
    EXPECT_THROW(makeMove(RESULT_MATED), std::logic_error);
    setUp(START_FEN);
    EXPECT_THROW(makeMove(RESULT_STALEMATE), std::logic_error);
    setUp(START_FEN);
    saveUndoState();
    EXPECT_THROW(unmakeMove(RESULT_REPETITION), std::logic_error);
    setUp(START_FEN);
}

}  // namespace
}  // namespace vostil
