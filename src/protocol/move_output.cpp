// thinkAndMove: plays a book move or lets the engine thread search, then announces the move
// and any game result.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "protocol/coordinate_move.h"
#include "protocol/engine_control.h"
#include "protocol/engine_events.h"
#include "protocol/game_log.h"
#include "protocol/output.h"
#include "search/draw_detection.h"
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

void sendMove(Move m) {
    char line[16] = "move ";
    char* end = formatCoordinateMove(line + 5, m);
    end[0] = '\n';
    end[1] = '\0';
    sendLine(line);
}

// Last line of defence: whatever the search left, only a legal move is ever announced.
Move legalOrFallback(Move m) {
    if (m == RESULT_MATED || m == RESULT_STALEMATE || m == RESULT_REPETITION) return m;
    if (isLegalMove(m)) return m;
    MoveEntry list[MAX_MOVES_PER_PLY];
    computeCheckInfo(*currentPly);
    const bool inCheck = currentPly->checkInfo.checkers != 0;
    MoveEntry* end = inCheck ? generateEvasions(list, currentPly->checkInfo) : generateMoves(list);
    for (MoveEntry* e = list; e != end; ++e)
        if (isLegalMove(e->move)) return e->move;
    return inCheck ? RESULT_MATED : RESULT_STALEMATE;
}

}  // namespace

void stopWithExtraTime() {
    engineState = ENGINE_IDLE;
    if (failLowFlag.load() && moveBudgetMs > 2000) {
        logLine("-M: FL - Extra time");
        stoppedEvent->waitFor(allowedWait(uint32_t(movesPerTimeControl) * moveBudgetMs / 2));
    }
    stopFlag = true;
    stoppedEvent->wait();
}

void thinkAndMove() {
    // A move received right after our own can arrive while the engine thread is still on its
    // way back to park; starting it then would leave the start signal unconsumed and the two
    // threads waiting on each other. stoppedEvent is set once it has parked.
    stoppedEvent->wait();
    moveStart = Clock::now();
    moveCapMs = moveTimeCap();
    char text[8];

    // Book move: played at once, the engine thread stays parked.
    if (HashEntry* entry = findEntry(); entry && entry->isBookEntry() && isLegalMove(entry->move())) {
        const Move m = entry->move();
        applyGameMove(m);
        sendMove(m);
        formatCoordinateMove(text, m);
        logLine("-M: move(book): ", text);
        bookMovePlayed = true;
        engineState = ENGINE_AWAITING_MOVE;
        return;
    }

    // The first move out of the book gets more time.
    if (bookMovePlayed) {
        bookMovePlayed = false;
        moveBudgetMs = budgetAfterBook(moveBudgetMs, movesPerTimeControl);
    }

    engineState = ENGINE_THINKING;
    startEngine(64);
    stoppedEvent->waitFor(allowedWait(moveBudgetMs));
    stopWithExtraTime();

    const Move m = legalOrFallback(SearchResult().move);
    const Score score = SearchResult().score;
    const char* result = nullptr;
    if (m == RESULT_MATED) {
        result = pos.sideToMove == BLACK ? "1-0 {Vostil mated 0}\n" : "0-1 {Vostil mated 0}\n";
    } else if (m == RESULT_STALEMATE) {
        result = "1/2-1/2 {Draw by stalemate (1)}\n";
    } else if (m == RESULT_REPETITION) {
        result = "1/2-1/2 {Draw by repetition (2)}\n";
    } else {
        applyGameMove(m);
        sendMove(m);
        formatCoordinateMove(text, m);
        logLine("move ", text, "\tscore: ", score);
        if (score == MATE_SCORE - 1)
            result = pos.sideToMove == BLACK ? "1-0 {Vostil mates 1}\n" : "0-1 {Vostil mates 1}\n";
        else if (isDraw(2))
            result = "1/2-1/2 {Draw by ...(3)}\n";
    }
    if (result) sendLine(result);

    engineState = ENGINE_AWAITING_MOVE;
    logLine("- NO ponder move");
    startEngine(64);
}

}  // namespace vostil
