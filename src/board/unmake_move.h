// unmakeMove: restores the bulk of the position from the ply's snapshot and repairs the rest.
// Quiet moves and captures are inline, as in makeMove.
#pragma once

#include <cstring>

#include "board/position.h"
#include "board/tables.h"

namespace vostil {

// En passant, promotions and castling.
void unmakeSpecialMove(Move m);

namespace unmake_detail {

// Kinds 0 and 1: the king moved if it now stands on the to-square; otherwise the piece
// board comes back from the snapshot.
inline void restoreMover(const PlyRecord& ply, int side, Square from, Square to) {
    if (to == pos.kingSquare[side])
        pos.kingSquare[side] = uint8_t(from);
    else
        pos.pieceBoards[pos.board[to]] = ply.savedPieceBoard;
}

// The snapshot: occupancy, rotated boards, en passant and keys come back whole.
inline void restoreSnapshot(const PlyRecord& ply, int s) {
    std::memcpy(&pos.allOccupancy, &ply.savedOccupancy, SNAPSHOT_BOARDS_BYTES);
    std::memcpy(&pos.keyLow, &ply.savedKeyLow, SNAPSHOT_KEYS_BYTES);
    pos.sideOccupancy[s] = ply.savedSideOccupancy;
    pos.epSquare = ply.savedEpSquare;
}

// Kinds 0 and 1.
inline void unmakeOrdinaryMove(Move m) {
    const Square to = moveTo(m), from = moveFrom(m);
    const PlyRecord& ply = *currentPly;
    pos.sideToMove ^= 1;
    const int s = pos.sideToMove;
    restoreSnapshot(ply, s);
    pos.castleFlags = ply.savedCastleFlags;
    if (moveKind(m) == MOVE_QUIET) {
        restoreMover(ply, s, from, to);
        pos.board[from] = pos.board[to];
        pos.board[to] = EMPTY;
    } else {
        pos.totalMaterial = uint8_t(pos.totalMaterial - ply.materialDelta);
        const PieceCode victim = ply.capturedPiece;
        pos.pieceBoards[victim] |= BIT[to];
        pos.sideOccupancy[s ^ 1] |= BIT[to];
        restoreMover(ply, s, from, to);
        pos.board[from] = pos.board[to];
        pos.board[to] = victim;
    }
    --historyTop;
}

}  // namespace unmake_detail

// Takes back the move last made; currentPly must hold its snapshot.
inline void unmakeMove(Move m) {
    if (moveKind(m) <= MOVE_CAPTURE)
        unmake_detail::unmakeOrdinaryMove(m);
    else
        unmakeSpecialMove(m);
    VOSTIL_ASSERT_CONSISTENT();
}

}  // namespace vostil
