// The game record's one instance and its base.
#include "game/game_record.h"

namespace vostil {

GameRecord gameRecord;

void startGameRecord(bool bookAtBase) {
    gameRecord.base = pos;
    gameRecord.baseTop = int(historyTop - GameHistory);
    gameRecord.bookAtBase = bookAtBase;
    gameRecord.moveCount = 0;
}

}  // namespace vostil
