// A move of the game itself, as the interface or the engine plays it.
#pragma once

#include "common/types.h"

namespace vostil {

// Plays m in the game, starts the history counters afresh and logs the new key.
void playGameMove(Move m);
// Plays m in the game and records it for takebacks, nothing more: for a game replayed from
// its moves, whose counters and key are dealt with once at its end.
void recordGameMove(Move m);
// Logs the game position's key, high half first, in hexadecimal.
void logGameKey();

}  // namespace vostil
