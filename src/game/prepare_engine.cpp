// prepareEngine: what both protocols do before their first command.
#include "board/position.h"
#include "board/tables.h"
#include "game/engine_control.h"
#include "game/setup_game_position.h"
#include "search/transposition_table.h"

namespace vostil {

void prepareEngine() {
    currentPly = PlyRecords;
    createEngineThread();
    initTables();
    clearHash();
    // Some interfaces never start a new game: the game starts from the initial position all
    // the same. A missing book is told when a game starts; here the log has it.
    setupGamePosition(START_FEN, true, BookErrors::LogOnly);
}

}  // namespace vostil
