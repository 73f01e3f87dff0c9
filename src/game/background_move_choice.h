// The move chosen on a thread of its own, so that the thread reading the interface goes on
// reading while the engine searches: a stop, a readiness question or "quit" may come at any
// moment.
#pragma once

#include "game/choose_move.h"

namespace vostil {

// Tells the interface the chosen move (on the choosing thread).
using MoveAnnouncer = void (*)(const MoveChoice& choice);
// Tells the interface at once that the position has no legal move (mated or stalemate), even
// when the move itself is told only at a stop.
using VerdictAnnouncer = void (*)(Move verdict);

// The choosing thread, parked until a choice begins; the engine thread must exist.
void createChooserThread(VerdictAnnouncer announceVerdict, MoveAnnouncer announce);
// Stops any choice and ends the thread.
void joinChooserThread();
// Starts choosing a move for the game position, with the limits as they are set; returns at
// once. The game and the limits are the choosing thread's until the choice has ended.
void beginMoveChoice();
// Ends a choice in progress: the search stops at once and its move is announced before this
// returns. Without a choice in progress, nothing happens.
void endMoveChoice();
// A choice has begun and its move has not been told yet (its search may be running).
bool moveChoiceUnderWay();

}  // namespace vostil
