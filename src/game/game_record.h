// The game as played since its base position: what a takeback replays.
#pragma once

#include "board/position.h"

namespace vostil {

// The move handed to a side ("white"/"black") stands in the record between the moves, so that
// takebacks reach back across it. Codes of the reserved result kind: never generated, never made.
constexpr Move HAND_OVER[2] = {makeMoveCode(3, 3, MOVE_RESULT), makeMoveCode(4, 4, MOVE_RESULT)};  // by side
constexpr bool isHandOver(Move m) { return m == HAND_OVER[BLACK] || m == HAND_OVER[WHITE]; }

// Every game move since the base, a hand-over at most beside each (two in a row undo each
// other); a game never has more moves than the history holds.
constexpr int GAME_RECORD_SIZE = 2 * GAME_HISTORY_LIMIT + 1;

struct GameRecord {
    Position base;              // the position the moves start from
    int baseTop = 0;            // its history entry; the entries below it stay as they were
    bool bookAtBase = false;    // the base is the start position with its book loaded
    int moveCount = 0;
    Move moves[GAME_RECORD_SIZE] = {};
};

extern GameRecord gameRecord;

// The current game position becomes the base, with no moves after it: after a setup, and
// where the history slid down.
void startGameRecord(bool bookAtBase);
// Takes back up to n game moves (fewer when the game has fewer since its base), with the
// hand-overs made after them; returns how many moves were taken back. Position, keys, history and root fields end exactly as they were
// before those moves, and a book loaded at the base answers again.
int takeBackMoves(int n);
// The game position set back to the record's base and its first `count` moves played again,
// the book loaded on the base first when asked; the record itself is left as it is.
void replayGameRecord(int count, bool reloadBook);

}  // namespace vostil
