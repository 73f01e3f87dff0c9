// setUpGameLine: the new game replaces the old one only once every move of it has been
// played; until then the old one is kept to come back to.
#include "game/set_up_game_line.h"

#include <algorithm>
#include <cstring>

#include "board/parse_coordinate_move.h"
#include "board/position.h"
#include "common/next_word.h"
#include "game/game_record.h"
#include "game/play_game_move.h"
#include "game/setup_game_position.h"
#include "movegen/legal_moves.h"
#include "search/search.h"

namespace vostil {

namespace {

// The game before the set-up: its record and the history entries up to its base, which a
// new set-up overwrites and a replay does not restore. Static, since a GUI sends the game
// before every move and nothing may be allocated while playing.
GameRecord previousRecord;
HistoryEntry previousHistory[GAME_HISTORY_SIZE];
bool previousReady = false;

// The record's fields and its moves, not the unused rest of its move array.
void copyGameRecord(GameRecord& to, const GameRecord& from) {
    to.base = from.base;
    to.baseTop = from.baseTop;
    to.bookAtBase = from.bookAtBase;
    to.moveCount = from.moveCount;
    std::copy_n(from.moves, from.moveCount, to.moves);
}

void keepPreviousGame() {
    copyGameRecord(previousRecord, gameRecord);
    std::copy_n(GameHistory, gameRecord.baseTop + 1, previousHistory);
    previousReady = gamePositionReady;
}

void restorePreviousGame() {
    copyGameRecord(gameRecord, previousRecord);
    std::copy_n(previousHistory, gameRecord.baseTop + 1, GameHistory);
    // The table was not touched by the refused set-up: its book stands as it was.
    replayGameRecord(gameRecord.moveCount, false);
    gamePositionReady = previousReady;
}

// The move a word names in the game position, when it is legal there; else 0.
Move legalMoveOf(std::string_view word) {
    char text[8];
    if (word.size() >= sizeof text) return 0;
    std::memcpy(text, word.data(), word.size());
    text[word.size()] = '\0';
    const Move m = parseCoordinateMove(text, MoveSource::Root);
    return m != 0 && isLegalMove(m) ? m : 0;
}

}  // namespace

GameLineResult setUpGameLine(const char* fen, std::string_view moves) {
    keepPreviousGame();
    if (!setupPosition(fen)) return {GameLineOutcome::RefusedPosition, {}};
    startGameRecord(false);
    gamePositionReady = true;

    for (std::string_view word = nextWord(moves); !word.empty(); word = nextWord(moves)) {
        const Move m = legalMoveOf(word);
        if (m == 0) {
            restorePreviousGame();
            return {GameLineOutcome::IllegalMove, word};
        }
        recordGameMove(m);
    }
    clearHistoryScores();
    logGameKey();
    return {GameLineOutcome::Accepted, {}};
}

}  // namespace vostil
