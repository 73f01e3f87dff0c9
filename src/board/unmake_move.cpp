// The rare kinds of unmakeMove: en passant, promotions, castling.
#include <cstring>
#include <stdexcept>

#include "board/castling.h"
#include "board/position.h"
#include "board/unmake_move.h"
#include "board/tables.h"

namespace vostil {

using namespace unmake_detail;

void unmakeSpecialMove(Move m) {
    const Square to = moveTo(m), from = moveFrom(m);
    const int kind = moveKind(m);
    const PlyRecord& ply = *currentPly;
    pos.sideToMove ^= 1;
    const int s = pos.sideToMove, o = s ^ 1;
    restoreSnapshot(ply, s);
    switch (kind) {
        case MOVE_EN_PASSANT: {
            pos.board[from] = pos.board[to];
            pos.board[to] = EMPTY;
            pos.totalMaterial = uint8_t(pos.totalMaterial + 1);
            const Square taken = Square(to + EP_CAPTURE_OFFSET[s]);
            pos.board[taken] = ply.capturedPiece;
            pos.sideOccupancy[o] |= BIT[taken];
            pos.pieceBoards[ply.capturedPiece] |= BIT[taken];
            pos.pieceBoards[pos.board[from]] = ply.savedPieceBoard;
            break;
        }

        case MOVE_RESULT:
            throw std::logic_error("internal error: a result code was given to unmakeMove");

        case MOVE_PROMO_Q: case MOVE_PROMO_N: case MOVE_PROMO_R: case MOVE_PROMO_B: {
            const PieceCode pawn = pieceOf(BLACK_PAWN, s);
            pos.totalMaterial = uint8_t(pos.totalMaterial - ply.materialDelta);
            pos.board[from] = pawn;
            pos.pieceBoards[pawn] = ply.savedPieceBoard;
            pos.pieceBoards[pos.board[to]] ^= BIT[to];
            pos.board[to] = EMPTY;
            break;
        }

        case MOVE_PROMO_CAPTURE_Q: case MOVE_PROMO_CAPTURE_N:
        case MOVE_PROMO_CAPTURE_R: case MOVE_PROMO_CAPTURE_B: {
            const PieceCode pawn = pieceOf(BLACK_PAWN, s);
            pos.castleFlags = ply.savedCastleFlags;
            pos.totalMaterial = uint8_t(pos.totalMaterial - ply.materialDelta);
            pos.board[from] = pawn;
            pos.pieceBoards[pawn] = ply.savedPieceBoard;
            const PieceCode victim = ply.capturedPiece;
            pos.pieceBoards[victim] |= BIT[to];
            pos.sideOccupancy[o] |= BIT[to];
            pos.pieceBoards[pos.board[to]] ^= BIT[to];
            pos.board[to] = victim;
            break;
        }

        default: {  // castling; occupancy and rotated boards came back with the snapshot
            const CastlingMove& c = castlingOf(m);
            pos.castleFlags = ply.savedCastleFlags;
            pos.kingSquare[c.side] = uint8_t(c.kingFrom);
            pos.board[c.kingTo] = EMPTY;
            pos.board[c.rookTo] = EMPTY;
            pos.board[c.kingFrom] = c.king;
            pos.board[c.rookFrom] = c.rook;
            pos.pieceBoards[c.rook] ^= BIT[c.rookFrom] | BIT[c.rookTo];
            break;
        }
    }
    --historyTop;
}

}  // namespace vostil
