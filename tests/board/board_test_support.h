// Shared helpers of the board tests: positions from FEN, square sets, and an independent
// model of what the incremental keys must hold.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "board/make_move.h"
#include "board/unmake_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "board/tables.h"
#include "common/move.h"

namespace vostil::boardtest {

inline void setUp(const char* fen) { ASSERT_TRUE(setupGamePosition(fen, false)) << fen; }

inline Bitboard squares(std::initializer_list<Square> list) {
    Bitboard b = 0;
    for (Square s : list) b |= Bitboard(1) << (63 - s);
    return b;
}

inline Move move(Square from, Square to, int kind = MOVE_QUIET) {
    return makeMoveCode(from, to, kind);
}

inline uint64_t epKey(int ep) { return ep ? ZOBRIST[0][ep] : 0; }

// The four castling rights with the square whose row-0 key stands for each.
struct RightKey {
    uint16_t right;
    Square keySquare;
};
inline constexpr RightKey RIGHT_KEYS[4] = {
    {RIGHT_WK, G1}, {RIGHT_WQ, C1}, {RIGHT_BK, G8}, {RIGHT_BQ, C8}};

// Keys of the right bits that were set in `before` and are clear in `after`.
inline uint64_t removedRightKeys(uint16_t before, uint16_t after) {
    uint64_t key = 0;
    for (const RightKey& r : RIGHT_KEYS)
        if ((before & r.right) && !(after & r.right)) key ^= ZOBRIST[0][r.keySquare];
    return key;
}

// Pawn key computed from the pawns on the board alone.
inline uint32_t pawnKeyOfBoard() {
    uint32_t key = 0;
    for (Square s = 0; s < 64; ++s)
        if (pos.board[s] == WHITE_PAWN || pos.board[s] == BLACK_PAWN)
            key ^= uint32_t(ZOBRIST[pos.board[s]][s]);
    return key;
}

// Tracks the non-piece keys folded into the hash since setup, move by move, from the
// flags and en-passant square seen before and after each make. The piece keys come from
// the board itself, so a wrong piece key shows up as a mismatch.
struct KeyModel {
    uint64_t rights = 0;  // keys of the castling rights removed so far
    uint64_t passes = 0;  // en-passant keys folded in and out so far

    // Call after one makeMove with the state it started from.
    void afterMove(uint16_t flagsBefore, int epBefore) {
        rights ^= removedRightKeys(flagsBefore, pos.castleFlags);
        passes ^= epKey(epBefore) ^ epKey(pos.epSquare);
    }

    uint64_t expectedKey() const { return pieceKeyOfBoard() ^ rights ^ passes; }
    // Only the en-passant keys reach the pawn key, by their low halves.
    uint32_t expectedPawnKey() const { return pawnKeyOfBoard() ^ uint32_t(passes); }
};

// The whole game state a make/unmake pair must give back.
struct Snapshot {
    Position position;
    HistoryEntry* top;
    HistoryEntry entries[4];

    static Snapshot take() {
        Snapshot s{pos, historyTop, {}};
        std::memcpy(s.entries, GameHistory, sizeof s.entries);
        return s;
    }
};

inline void expectRestored(const Snapshot& before, const std::string& what) {
    EXPECT_TRUE(pos == before.position) << what << ": position not restored";
    EXPECT_EQ(historyTop, before.top) << what;
    for (int i = 0; i <= before.top - GameHistory && i < 4; ++i) {
        EXPECT_EQ(GameHistory[i].keyLow, before.entries[i].keyLow) << what;
        EXPECT_EQ(GameHistory[i].keyHigh, before.entries[i].keyHigh) << what;
        EXPECT_EQ(GameHistory[i].fiftyCounter, before.entries[i].fiftyCounter) << what;
    }
}

// Plays a move one ply deeper, as the searches do, and takes it back.
inline void playInSearch(Move m) {
    saveUndoState();
    makeMove(m);
    ++currentPly;
}

inline void takeBackInSearch(Move m) {
    --currentPly;
    unmakeMove(m);
}

}  // namespace vostil::boardtest
