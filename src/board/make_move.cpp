// makeMove: plays one pseudo-legal move, updating every view of the position incrementally.
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <stdexcept>

#include "board/castling.h"
#include "board/position.h"
#include "board/tables.h"

namespace vostil {

void saveUndoState() {
    PlyRecord& ply = *currentPly;
    std::memcpy(&ply.savedOccupancy, &pos.allOccupancy, SNAPSHOT_BOARDS_BYTES);
    std::memcpy(&ply.savedKeyLow, &pos.keyLow, SNAPSHOT_KEYS_BYTES);
    ply.savedSideOccupancy = pos.sideOccupancy[pos.sideToMove];
    ply.savedEpSquare = pos.epSquare;
    ply.savedCastleFlags = pos.castleFlags;
}

namespace {

inline void xorPawnKey(uint64_t z) { pos.pawnKey ^= uint32_t(z); }

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
constexpr std::array<int8_t, 64> CORNER_CASTLING = makeCornerTable();

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

// Promotion piece (black code) and material gain over the pawn, by kind & 3.
constexpr PieceCode PROMOTION_PIECE[4] = {BLACK_QUEEN, BLACK_KNIGHT, BLACK_ROOK, BLACK_BISHOP};
constexpr int8_t PROMOTION_GAIN[4] = {8, 2, 4, 2};

}  // namespace

// En passant, promotions and castling: rare, and kept apart so that the common path needs
// few registers.
void makeSpecialMove(Move m) {
    const Square to = moveTo(m), from = moveFrom(m);
    const int kind = moveKind(m);
    const int s = pos.sideToMove, o = s ^ 1;
    PlyRecord& ply = *currentPly;
    HistoryEntry* entry = ++historyTop;
    entry->fiftyCounter = 0;
    uint64_t z = 0;
    if (pos.epSquare) {
        z = ZOBRIST[0][pos.epSquare];
        xorPawnKey(z);
        pos.epSquare = 0;
    }
    switch (kind) {
        case MOVE_EN_PASSANT: {
            const Square taken = Square(to + EP_CAPTURE_OFFSET[s]);
            const PieceCode victim = pos.board[taken], p = pos.board[from];
            ply.capturedPiece = victim;
            ply.savedPieceBoard = pos.pieceBoards[p];
            pos.board[to] = p;
            pos.board[from] = EMPTY;
            pos.board[taken] = EMPTY;
            pos.totalMaterial = uint8_t(pos.totalMaterial - 1);
            const uint64_t moved = ZOBRIST[victim][taken] ^ ZOBRIST[p][from] ^ ZOBRIST[p][to];
            z ^= moved;
            xorPawnKey(moved);
            pos.pieceBoards[victim] ^= BIT[taken];
            pos.sideOccupancy[o] ^= BIT[taken];
            const Bitboard ft = BIT[from] | BIT[to];
            pos.pieceBoards[p] ^= ft;
            pos.sideOccupancy[s] ^= ft;
            pos.allOccupancy = pos.sideOccupancy[BLACK] | pos.sideOccupancy[WHITE];
            pos.rotated90 ^= ROT90_BIT[from] ^ EP_ROT90[to];
            pos.rotated45 ^= ROT45_BIT[from] ^ EP_ROT45[to];
            pos.rotated315 ^= ROT315_BIT[from] ^ EP_ROT315[to];
            break;
        }

        case MOVE_RESULT:
            throw std::logic_error("internal error: a result code was given to makeMove");

        case MOVE_PROMO_Q: case MOVE_PROMO_N: case MOVE_PROMO_R: case MOVE_PROMO_B:
        case MOVE_PROMO_CAPTURE_Q: case MOVE_PROMO_CAPTURE_N:
        case MOVE_PROMO_CAPTURE_R: case MOVE_PROMO_CAPTURE_B: {
            const PieceCode promoted = pieceOf(PROMOTION_PIECE[kind & 3], s);
            const PieceCode pawn = pieceOf(BLACK_PAWN, s);
            int8_t delta = PROMOTION_GAIN[kind & 3];
            if (kind < MOVE_PROMO_CAPTURE_Q) {
                pos.rotated90 |= ROT90_BIT[to];
                pos.rotated45 |= ROT45_BIT[to];
                pos.rotated315 |= ROT315_BIT[to];
            } else {
                const PieceCode victim = pos.board[to];
                removeCornerRight(to, z);
                delta = int8_t(delta - MATERIAL_UNITS[victim]);
                takeVictim(ply, victim, to, o, z);
            }
            ply.materialDelta = delta;
            pos.totalMaterial = uint8_t(pos.totalMaterial + delta);
            toggleRotated(from);
            ply.savedPieceBoard = pos.pieceBoards[pawn];
            pos.board[from] = EMPTY;
            pos.board[to] = promoted;
            xorPawnKey(ZOBRIST[pawn][from]);
            z ^= ZOBRIST[promoted][to] ^ ZOBRIST[pawn][from];
            pos.pieceBoards[promoted] |= BIT[to];
            pos.pieceBoards[pawn] ^= BIT[from];
            pos.sideOccupancy[s] ^= BIT[from] | BIT[to];
            pos.allOccupancy = pos.sideOccupancy[BLACK] | pos.sideOccupancy[WHITE];
            break;
        }

        default: {  // castling
            const CastlingMove& c = castlingOf(m);
            removeRight(CASTLING_MOVES[otherCastling(castlingIndex(m))], z);
            pos.castleFlags |= c.flagsSet;
            pos.kingSquare[c.side] = uint8_t(c.kingTo);
            pos.board[c.kingFrom] = EMPTY;
            pos.board[c.rookFrom] = EMPTY;
            pos.board[c.kingTo] = c.king;
            pos.board[c.rookTo] = c.rook;
            z ^= ZOBRIST[c.rook][c.rookFrom] ^ ZOBRIST[c.rook][c.rookTo] ^
                 ZOBRIST[c.king][c.kingFrom] ^ ZOBRIST[c.king][c.kingTo];
            pos.pieceBoards[c.rook] ^= BIT[c.rookFrom] | BIT[c.rookTo];
            pos.sideOccupancy[c.side] ^=
                BIT[c.kingFrom] | BIT[c.kingTo] | BIT[c.rookFrom] | BIT[c.rookTo];
            pos.allOccupancy = pos.sideOccupancy[BLACK] | pos.sideOccupancy[WHITE];
            toggleRotated(c.kingFrom);
            toggleRotated(c.kingTo);
            toggleRotated(c.rookFrom);
            toggleRotated(c.rookTo);
            break;
        }
    }
    xorKey(z);
    pos.sideToMove = o;
    entry->keyLow = pos.keyLow;
    entry->keyHigh = pos.keyHigh;
}

void makeQuietMove(Move m) { makeOrdinaryMove<false>(m); }
void makeCaptureMove(Move m) { makeOrdinaryMove<true>(m); }

}  // namespace vostil
