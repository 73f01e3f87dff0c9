// chooseMove: the book move, or the search's move within the budget, always legal.
#include "game/choose_move.h"

#include <algorithm>
#include <chrono>

#include "board/position.h"
#include "common/log.h"
#include "common/move.h"
#include "game/engine_control.h"
#include "game/engine_options.h"
#include "game/engine_events.h"
#include "game/thinking_output.h"
#include "movegen/legal_moves.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point moveStart;
uint32_t moveCapMs = CLOCK_UNKNOWN;

uint32_t elapsedMs() {
    return uint32_t(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - moveStart).count());
}

// Time still allowed under the clock cap, or `wanted` when that is smaller.
uint32_t allowedWait(uint32_t wanted) {
    if (moveCapMs == CLOCK_UNKNOWN) return wanted;
    const uint32_t used = elapsedMs();
    return std::min(wanted, used >= moveCapMs ? 0u : moveCapMs - used);
}

// Last line of defence: whatever the search left, only a legal move is ever chosen, and a
// mated or stalemated verdict only where the generator finds no legal move. The repetition
// verdict stands unless a move is wanted on a drawn root all the same.
Move legalOrFallback(Move m) {
    if ((m == RESULT_REPETITION && !searchDrawnRoot.load()) || isLegalMove(m)) return m;
    if (const Move legal = firstLegalMove()) return legal;
    return verdictWithoutMoves();
}

constexpr uint32_t NODE_POLL_MS = 2;

// Waits at most `ms` for the search to end by itself (CLOCK_UNKNOWN: some seven weeks, no
// limit in practice), and stops it once it has counted the node limit.
void waitForSearch(uint32_t ms) {
    if (nodeLimit == 0) {
        stoppedEvent->waitFor(ms);
        return;
    }
    const uint32_t start = elapsedMs();
    while (!stoppedEvent->waitFor(NODE_POLL_MS)) {
        if (elapsedMs() - start >= ms) return;
        if (searchNodesSoFar() >= nodeLimit) {
            stopFlag = true;  // the count is reached: not even the iteration is finished
            return;
        }
    }
}

// Once the time is up, a search still in its first iteration finishes it, so that every
// searched move has at least that much behind it and tells it. A search resumed from a deeper
// table entry already has its result and is not waited for; nor is a stop from outside.
void finishFirstIteration() {
    wrapUpFlag = true;
    while (!stoppedEvent->waitFor(1))
        if (outsideStop.load() || searchProgress.depth.load(std::memory_order_relaxed) > SHALLOWEST_DEPTH) return;
}

}  // namespace

Move verdictWithoutMoves() { return currentPly->checkInfo.checkers ? RESULT_MATED : RESULT_STALEMATE; }

void stopWithExtraTime() {
    engineState = ENGINE_IDLE;
    wrapUpFlag = true;
    if (!outsideStop.load() && failLowFlag.load() && moveBudgetMs > 2000) {
        logLine("-M: FL - Extra time");
        stoppedEvent->waitFor(allowedWait(uint32_t(movesPerTimeControl) * moveBudgetMs / 2));
    }
    stopFlag = true;
    stoppedEvent->wait();
}

MoveChoice chooseMove() {
    // A move received right after our own can arrive while the engine thread is still on its
    // way back to park; starting it then would leave the start signal unconsumed and the two
    // threads waiting on each other. stoppedEvent is set once it has parked.
    stoppedEvent->wait();
    moveStart = Clock::now();
    moveCapMs = moveTimeCap();

    // Book move: played at once, the engine thread stays parked. A search to go on until
    // stopped is wanted for its lines, not for a move; nor is the book asked when it is turned
    // off, or for a choice among a few root moves the interface named. Searches since the book
    // was loaded may have overwritten the entry: the book's own copy puts it back first.
    const bool askBook = !searchUntilStopped && ownBook.load() && !rootRestricted();
    if (askBook) restoreBookEntry();
    if (HashEntry* entry = findEntry(); askBook && entry && entry->isBookEntry() && isLegalMove(entry->move())) {
        bookMovePlayed = true;
        return {entry->move(), 0, true};
    }

    // The first move out of the book gets more time, unless every move has the same.
    const bool fixedTime = fixedMoveTimeMs != NO_FIXED_MOVE_TIME;
    if (bookMovePlayed) {
        bookMovePlayed = false;
        if (!fixedTime) moveBudgetMs = budgetAfterBook(moveBudgetMs, movesPerTimeControl);
    }

    engineState = ENGINE_THINKING;
    // No iteration is under way until the search publishes its first (the engine thread is parked).
    searchProgress.depth.store(0, std::memory_order_relaxed);
    startEngine(searchDepthCap);
    // A stop from outside may have come before the search began, when starting cleared it.
    if (outsideStop.load()) stopFlag = true;
    // A fixed time per move is all the cap allows; the clock's budget is not asked.
    if (moveIsUntimed()) waitForSearch(CLOCK_UNKNOWN);
    else waitForSearch(fixedTime ? allowedWait(moveCapMs) : allowedWait(moveBudgetMs));
    // Only a move without any time at all left is played unsearched.
    if (moveCapMs != 0) finishFirstIteration();
    stopWithExtraTime();

    const Move m = legalOrFallback(SearchResult().move);
    return {m, SearchResult().score, false};
}

}  // namespace vostil
