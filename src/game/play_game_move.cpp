// playGameMove: the board plays the move and the game records it for takebacks; the game
// forgets the old position's history counters and logs the new key.
#include "game/play_game_move.h"

#include <cassert>

#include "board/position.h"
#include "common/log.h"
#include "game/game_record.h"
#include "search/search.h"

namespace vostil {

void playGameMove(Move m) {
    if (m == 0) return;
    recordGameMove(m);
    clearHistoryScores();
    logGameKey();
}

void recordGameMove(Move m) {
    if (m == 0) return;
    // A game as long as the history goes on with the entries a draw test can still reach;
    // the record then starts from here, since the slid history cannot be replayed.
    if (historyTop - GameHistory >= GAME_HISTORY_LIMIT) {
        slideGameHistory();
        startGameRecord(false);
    }
    applyGameMove(m);
    assert(gameRecord.moveCount < GAME_RECORD_SIZE);
    gameRecord.moves[gameRecord.moveCount++] = m;
}

void logGameKey() { logLine(std::hex, pos.keyHigh, " ", pos.keyLow, std::dec); }

}  // namespace vostil
