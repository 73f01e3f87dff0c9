// Choosing the engine's move: from the book at once, or by a search on the engine thread
// within the time budget.
#pragma once

#include "common/types.h"

namespace vostil {

struct MoveChoice {
    Move move;      // a legal move, or RESULT_MATED / RESULT_STALEMATE / RESULT_REPETITION
    Score score;    // the search's score (0 for a book move)
    bool fromBook;
};

// Book probe, budget, hand-over to the engine thread, extra time after a fail low, and the
// fallback that keeps the choice legal. Leaves the engine thread parked.
MoveChoice chooseMove();
// Ends a search in progress: the iteration may finish, a fail low may earn extra time, then
// the search stops at once.
void stopWithExtraTime();
// The verdict on a game position without a legal move: mated when in check, else stalemate.
Move verdictWithoutMoves();

}  // namespace vostil
