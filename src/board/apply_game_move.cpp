// applyGameMove: plays a move in the game itself, never to be taken back.
#include <cstring>

#include "board/position.h"
#include "protocol/game_log.h"
#include "search/search.h"

namespace vostil {

void applyGameMove(Move m) {
    if (m == 0) return;
    makeMove(m);

    // Settle a castling at once: the side's rights and CASTLED bit go, the king square is final.
    switch (moveKind(m)) {
        case MOVE_CASTLE_WK: pos.kingSquare[WHITE] = G1; pos.castleFlags &= SETTLE_WHITE_MASK; break;
        case MOVE_CASTLE_WQ: pos.kingSquare[WHITE] = C1; pos.castleFlags &= SETTLE_WHITE_MASK; break;
        case MOVE_CASTLE_BK: pos.kingSquare[BLACK] = G8; pos.castleFlags &= SETTLE_BLACK_MASK; break;
        case MOVE_CASTLE_BQ: pos.kingSquare[BLACK] = C8; pos.castleFlags &= SETTLE_BLACK_MASK; break;
        default: break;
    }

    pos.rootEpSquare = pos.epSquare;
    pos.rootCastleFlags = pos.castleFlags;
    pos.rootSide ^= 1;
    std::memcpy(pos.rootBoard, pos.board, sizeof pos.board);

    clearHistoryScores();

    logLine(std::hex, pos.keyHigh, " ", pos.keyLow, std::dec);
}

}  // namespace vostil
