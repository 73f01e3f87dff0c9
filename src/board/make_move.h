// makeMove: plays one pseudo-legal move, updating every view of the position incrementally.
// Quiet moves and captures, nearly every move made, are inline: the searches and perft run
// them at every node, and a call with its saved registers costs about a tenth of the walk.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "board/castling.h"
#include "board/position.h"
#include "board/tables.h"

namespace vostil {

// En passant, promotions and castling: rare, and kept out of line.
void makeSpecialMove(Move m);

namespace make_detail {

inline void toggleRotated(Square s) {
    pos.rotated90 ^= ROT90_BIT[s];
    pos.rotated45 ^= ROT45_BIT[s];
    pos.rotated315 ^= ROT315_BIT[s];
}

// A right is removed only while usable: its bit set and its side not frozen by castling.
// The key change is gathered in `z`.
inline void removeRight(const CastlingMove& c, uint64_t& z) {
    if (rightUsable(pos.castleFlags, c)) {
        pos.castleFlags &= uint16_t(~c.right);
        z ^= ZOBRIST[0][c.rightKey];
    }
}

// A rook leaving or being captured on its corner takes that corner's right with it.
constexpr auto makeCornerTable() {
    std::array<int8_t, 64> table{};
    for (Square s = 0; s < 64; ++s) table[s] = int8_t(castlingOfRookSquare(s));
    return table;
}
inline constexpr std::array<int8_t, 64> CORNER_CASTLING = makeCornerTable();

inline void removeCornerRight(Square s, uint64_t& z) {
    if (const int i = CORNER_CASTLING[s]; i >= 0 && hasCastlingState(pos.castleFlags))
        removeRight(CASTLING_MOVES[i], z);
}

inline void takeVictim(PlyRecord& ply, PieceCode victim, Square to, int opponent, uint64_t& z) {
    ply.capturedPiece = victim;
    pos.pieceBoards[victim] ^= BIT[to];
    pos.sideOccupancy[opponent] ^= BIT[to];
    z ^= ZOBRIST[victim][to];
}

// Kinds 0 and 1, nearly every move made: one instance for each, so that neither carries the
// other's work. Key changes are gathered in locals and written once.
template <bool Capture>
inline void makeOrdinaryMove(Move m) {
    const unsigned to = moveTo(m), from = moveFrom(m);
    const int side = pos.sideToMove;
    const PieceCode p = pos.board[from];
    const Bitboard ft = BIT[from] | BIT[to];
    HistoryEntry* const entry = ++historyTop;
    uint64_t z = 0;
    uint32_t pawnZ = 0;

    // The victim, or the to-square's bits in the rotated boards.
    if constexpr (Capture) {
        PlyRecord& ply = *currentPly;
        const PieceCode victim = pos.board[to];
        removeCornerRight(to, z);
        ply.materialDelta = int8_t(-MATERIAL_UNITS[victim]);
        pos.totalMaterial = uint8_t(pos.totalMaterial + ply.materialDelta);
        takeVictim(ply, victim, to, side ^ 1, z);
        if (victim <= BLACK_PAWN) pawnZ = uint32_t(ZOBRIST[victim][to]);
        toggleRotated(from);
        pos.allOccupancy ^= BIT[from];
        entry->fiftyCounter = 0;
    } else {
        pos.rotated90 ^= ROT90_BIT[from] | ROT90_BIT[to];
        pos.rotated45 ^= ROT45_BIT[from] | ROT45_BIT[to];
        pos.rotated315 ^= ROT315_BIT[from] | ROT315_BIT[to];
        pos.allOccupancy ^= ft;
        entry->fiftyCounter = uint16_t((entry - 1)->fiftyCounter + 1);
    }

    // The mover.
    pos.board[to] = p;
    pos.board[from] = EMPTY;
    pos.sideOccupancy[side] ^= ft;
    if (p <= BLACK_QUEEN) {
        currentPly->savedPieceBoard = pos.pieceBoards[p];
        pos.pieceBoards[p] ^= ft;
    }

    // The keys. Any move ends the en-passant chance of the move before.
    z ^= ZOBRIST[p][from] ^ ZOBRIST[p][to];
    if (const Square ep = pos.epSquare) {
        z ^= ZOBRIST[0][ep];
        pawnZ ^= uint32_t(ZOBRIST[0][ep]);
        pos.epSquare = 0;
    }
    // Tests by code range: knights, bishops and queens, the common movers, fall through all.
    if (p <= BLACK_PAWN) {
        if (from == to + 16 || to == from + 16) {
            const unsigned skipped = (from + to) / 2;
            pos.epSquare = uint8_t(skipped);
            z ^= ZOBRIST[0][skipped];
            pawnZ ^= uint32_t(ZOBRIST[0][skipped]);
        }
        pawnZ ^= uint32_t(ZOBRIST[p][from] ^ ZOBRIST[p][to]);
        entry->fiftyCounter = 0;  // a pawn move is irreversible
    } else if (p >= WHITE_KING) {
        pos.kingSquare[side] = uint8_t(to);
        removeRight(CASTLING_MOVES[SHORT_CASTLING[side]], z);
        removeRight(CASTLING_MOVES[LONG_CASTLING[side]], z);
    } else if (p == WHITE_ROOK || p == BLACK_ROOK) {
        // A rook of the other colour never stands on its own side's corner before it moves,
        // but a rook that reached the enemy corner must not take that right.
        if (const int i = CORNER_CASTLING[from]; i >= 0 && CASTLING_MOVES[i].rook == p)
            removeRight(CASTLING_MOVES[i], z);
    }
    // keyLow and keyHigh side by side, here and in the history entry: one 64-bit word each,
    // keyLow in the low half on a little-endian machine.
    static_assert(std::endian::native == std::endian::little);
    static_assert(offsetof(HistoryEntry, keyHigh) == offsetof(HistoryEntry, keyLow) + sizeof(uint32_t));
    uint64_t key;
    std::memcpy(&key, &pos.keyLow, sizeof key);
    key ^= z;
    std::memcpy(&pos.keyLow, &key, sizeof key);
    std::memcpy(&entry->keyLow, &key, sizeof key);
    pos.pawnKey ^= pawnZ;
    pos.sideToMove = side ^ 1;
}

}  // namespace make_detail

// Plays a pseudo-legal move, updating every view incrementally; writes the current ply's
// savedPieceBoard, capturedPiece and materialDelta as the move needs them.
inline void makeMove(Move m) {
    switch (moveKind(m)) {
        case MOVE_QUIET: make_detail::makeOrdinaryMove<false>(m); break;
        case MOVE_CAPTURE: make_detail::makeOrdinaryMove<true>(m); break;
        default: makeSpecialMove(m); break;
    }
    VOSTIL_ASSERT_CONSISTENT();
}

}  // namespace vostil
