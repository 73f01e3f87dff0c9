// playGameMove: the board plays the move; the game forgets the old position's history
// counters and records the new key.
#include "game/play_game_move.h"

#include "board/position.h"
#include "common/log.h"
#include "search/search.h"

namespace vostil {

void playGameMove(Move m) {
    if (m == 0) return;
    applyGameMove(m);
    clearHistoryScores();
    logLine(std::hex, pos.keyHigh, " ", pos.keyLow, std::dec);
}

}  // namespace vostil
