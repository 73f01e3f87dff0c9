// applyGameMove: plays a move in the game itself, never to be taken back.
#include <cstring>

#include "board/castling.h"
#include "board/make_move.h"
#include "board/position.h"

namespace vostil {

void applyGameMove(Move m) {
    if (m == 0) return;
    makeMove(m);

    // Settle a castling at once: the side's rights and CASTLED bit go, the king square is final.
    if (isCastling(m)) settleCastledSide(castlingOf(m).side);

    pos.rootEpSquare = pos.epSquare;
    pos.rootCastleFlags = pos.castleFlags;
    pos.rootSide ^= 1;
    std::memcpy(pos.rootBoard, pos.board, sizeof pos.board);
}

}  // namespace vostil
