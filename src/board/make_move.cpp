// The undo snapshot and the rare kinds of makeMove: en passant, promotions, castling.
#include <cstring>
#include <stdexcept>

#include "board/castling.h"
#include "board/make_move.h"
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

using namespace make_detail;

inline void xorPawnKey(uint64_t z) { pos.pawnKey ^= uint32_t(z); }

// Promotion piece (black code) and material gain over the pawn, by kind & 3.
constexpr PieceCode PROMOTION_PIECE[4] = {BLACK_QUEEN, BLACK_KNIGHT, BLACK_ROOK, BLACK_BISHOP};
constexpr int8_t PROMOTION_GAIN[4] = {8, 2, 4, 2};

}  // namespace

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

}  // namespace vostil
