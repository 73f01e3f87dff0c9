// Time-control settings and the budget arithmetic (unsigned 32-bit, integer division).
#include <algorithm>

#include "game/engine_control.h"
#include "search/search_control.h"

namespace vostil {

int32_t movesPerTimeControl = 40;
uint32_t incrementMs = 0;
uint32_t moveBudgetMs = 0;
uint32_t clockMs = CLOCK_UNKNOWN;
bool bookMovePlayed = false;
uint32_t fixedMoveTimeMs = NO_FIXED_MOVE_TIME;
int searchDepthCap = NO_DEPTH_LIMIT;
bool unlimitedTime = false;
bool searchUntilStopped = false;
uint64_t nodeLimit = 0;
std::atomic<bool> outsideStop{false};

uint32_t budgetForClock(int32_t centiseconds, uint32_t increment, int32_t movesPerControl) {
    // An overdrawn clock leaves the increment only; one second is held back from two on.
    uint32_t t = centiseconds <= 0 ? 0u : uint32_t(centiseconds);
    if (t >= 200) t -= 100;
    return increment + (t / uint32_t(movesPerControl)) * 10u;
}

uint32_t budgetAfterBook(uint32_t budget, int32_t movesPerControl) {
    // More time, never less: with fewer than ten moves per control the second term would shrink
    // the budget (knights's one move per control to a tenth).
    return std::max(budget, std::min(3u * budget, (uint32_t(movesPerControl) * budget) / 10u));
}

uint32_t testCommandBudget(uint32_t increment, int32_t movesPerControl) {
    constexpr uint32_t TEST_CLOCK_CENTISECONDS = 4123456689u;
    return increment + (TEST_CLOCK_CENTISECONDS / uint32_t(movesPerControl)) * 10u;
}

namespace {

// What may be spent of `ms` once the process, pipes and the interface have had their share.
uint32_t lessSafetyMargin(uint32_t ms) {
    return ms > 2 * CLOCK_SAFETY_MARGIN_MS ? ms - CLOCK_SAFETY_MARGIN_MS : ms / 2;
}

}  // namespace

uint32_t moveTimeCap() {
    // An empty clock with an increment: the interface gives each move its increment alone
    // (knights: "wtime 0 winc 2000"), so the increment is this move's clock. A clock that still
    // runs caps the move by itself, since the increment comes only after the move.
    const uint32_t spendable = clockMs == 0 ? incrementMs : clockMs;
    uint32_t cap = clockMs == CLOCK_UNKNOWN ? CLOCK_UNKNOWN : lessSafetyMargin(spendable);
    if (fixedMoveTimeMs != NO_FIXED_MOVE_TIME) cap = std::min(cap, lessSafetyMargin(fixedMoveTimeMs));
    return cap;
}

bool moveIsUntimed() {
    return unlimitedTime ||
           (clockMs == CLOCK_UNKNOWN && fixedMoveTimeMs == NO_FIXED_MOVE_TIME && searchDepthCap != NO_DEPTH_LIMIT);
}

void setFixedMoveTime(double seconds) {
    // NaN and negative times count as none at all; a day is more than anyone waits.
    const double ms = seconds > 0 ? std::min(seconds, 86400.0) * 1000.0 : 0.0;
    fixedMoveTimeMs = uint32_t(ms + 0.5);
}

void setSearchDepth(long long depth) {
    searchDepthCap = int(std::clamp<long long>(depth, SHALLOWEST_DEPTH, MAX_DEPTH_LIMIT));
}

uint32_t budgetForClockMs(uint32_t clock, uint32_t increment, int32_t movesPerControl) {
    if (clock >= 2000) clock -= 1000;
    return increment + clock / uint32_t(movesPerControl);
}

namespace {

// Milliseconds as the 32-bit settings hold them; the largest value is kept for "unknown".
uint32_t storedMs(int64_t ms) { return uint32_t(std::clamp<int64_t>(ms, 0, CLOCK_UNKNOWN - 1)); }

}  // namespace

void applySearchRequest(const SearchRequest& request) {
    movesPerTimeControl =
        request.movesToGo > 0 ? int32_t(std::min<int64_t>(request.movesToGo, 1000)) : 40;
    incrementMs = storedMs(request.incrementMs);
    const bool clock = request.hasClock && !request.untilStopped;
    const bool fixed = request.hasMoveTime && !request.untilStopped;
    clockMs = clock ? storedMs(request.clockMs) : CLOCK_UNKNOWN;
    moveBudgetMs = clock ? budgetForClockMs(clockMs, incrementMs, movesPerTimeControl) : 0;
    fixedMoveTimeMs = fixed ? storedMs(request.moveTimeMs) : NO_FIXED_MOVE_TIME;
    unlimitedTime = !clock && !fixed;
    searchUntilStopped = request.untilStopped;
    searchDepthCap = request.depth > 0 ? int(std::clamp<int64_t>(request.depth, SHALLOWEST_DEPTH, MAX_DEPTH_LIMIT))
                                       : NO_DEPTH_LIMIT;
    nodeLimit = request.untilStopped ? 0 : request.nodes;
    // An analysis shows its lines from the first iteration on, as the xboard one does; resumed
    // from a deep table entry it would show nothing for seconds.
    resumeFromTable = !request.untilStopped;
    rootChoiceCount = request.searchMoveCount;
    std::copy(request.searchMoves, request.searchMoves + request.searchMoveCount, rootChoices);
}

}  // namespace vostil
