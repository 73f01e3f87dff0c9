// handMoveTo: changes who is to move, never into a position where a king can be taken.
#include "game/hand_move_to.h"

#include <cassert>

#include "board/position.h"
#include "game/game_record.h"
#include "game/setup_game_position.h"
#include "movegen/check.h"

namespace vostil {

void giveMoveTo(int side) {
    pos.sideToMove = side;
    pos.epSquare = pos.rootEpSquare = 0;
}

void handMoveTo(int side) {
    const int previous = pos.sideToMove;
    if (side == previous) return;
    if (!gamePositionReady) {
        giveMoveTo(side);
        return;
    }
    pos.sideToMove = side;
    const bool exposesKing = isKingAttacked(0, side ^ 1);
    pos.sideToMove = previous;
    if (exposesKing) return;
    // xboard hands the move away and back to update the clocks ("white", "time", "otim",
    // "black", "go"): the second hand-over undoes the first.
    const int count = gameRecord.moveCount;
    if (count > 0 && isHandOver(gameRecord.moves[count - 1])) {
        gameRecord.moveCount = count - 1;
        replayGameRecord(count - 1, false);
        return;
    }
    giveMoveTo(side);
    assert(gameRecord.moveCount < GAME_RECORD_SIZE);
    gameRecord.moves[gameRecord.moveCount++] = HAND_OVER[side];
}

}  // namespace vostil
