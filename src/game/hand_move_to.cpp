// handMoveTo: changes who is to move, never into a position where a king can be taken.
#include "game/hand_move_to.h"

#include "board/position.h"
#include "game/game_record.h"
#include "game/setup_game_position.h"
#include "movegen/check.h"

namespace vostil {

void handMoveTo(int side) {
    const int previous = pos.sideToMove;
    pos.sideToMove = side;
    if (gamePositionReady && isKingAttacked(0, side ^ 1)) pos.sideToMove = previous;
    if (pos.sideToMove == previous) return;
    pos.epSquare = pos.rootEpSquare = 0;
    // No move leads here, so takebacks start from this position.
    startGameRecord(false);
}

}  // namespace vostil
