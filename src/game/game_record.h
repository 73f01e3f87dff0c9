// The game as played since its base position: what a takeback replays.
#pragma once

#include "board/position.h"

namespace vostil {

// Every game move since the base; a game never has more than the history holds.
constexpr int GAME_RECORD_SIZE = GAME_HISTORY_LIMIT;

struct GameRecord {
    Position base;              // the position the moves start from
    int baseTop = 0;            // its history entry; the entries below it stay as they were
    bool bookAtBase = false;    // the base is the start position with its book loaded
    int moveCount = 0;
    Move moves[GAME_RECORD_SIZE] = {};
};

extern GameRecord gameRecord;

// The current game position becomes the base, with no moves after it: after a setup, and
// wherever the game changes in a way no move describes (the side to move handed over, the
// history slid down).
void startGameRecord(bool bookAtBase);
// Takes back up to n game moves (fewer when the game has fewer since its base); returns how
// many were taken back. Position, keys, history and root fields end exactly as they were
// before those moves, and a book loaded at the base answers again.
int takeBackMoves(int n);
// The game position set back to the record's base and its first `count` moves played again,
// the book loaded on the base first when asked; the record itself is left as it is.
void replayGameRecord(int count, bool reloadBook);

}  // namespace vostil
