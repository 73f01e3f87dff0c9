// Time-control settings and the budget arithmetic (unsigned 32-bit, integer division).
#include <algorithm>

#include "game/engine_control.h"

namespace vostil {

int32_t movesPerTimeControl = 40;
uint32_t incrementMs = 0;
uint32_t moveBudgetMs = 0;
uint32_t clockMs = CLOCK_UNKNOWN;
bool bookMovePlayed = false;

uint32_t budgetForClock(int32_t centiseconds, uint32_t increment, int32_t movesPerControl) {
    // An overdrawn clock leaves the increment only; one second is held back from two on.
    uint32_t t = centiseconds <= 0 ? 0u : uint32_t(centiseconds);
    if (t >= 200) t -= 100;
    return increment + (t / uint32_t(movesPerControl)) * 10u;
}

uint32_t budgetAfterBook(uint32_t budget, int32_t movesPerControl) {
    return std::min(3u * budget, (uint32_t(movesPerControl) * budget) / 10u);
}

uint32_t testCommandBudget(uint32_t increment, int32_t movesPerControl) {
    constexpr uint32_t TEST_CLOCK_CENTISECONDS = 4123456689u;
    return increment + (TEST_CLOCK_CENTISECONDS / uint32_t(movesPerControl)) * 10u;
}

uint32_t moveTimeCap() {
    if (clockMs == CLOCK_UNKNOWN) return CLOCK_UNKNOWN;
    return clockMs > 2 * CLOCK_SAFETY_MARGIN_MS ? clockMs - CLOCK_SAFETY_MARGIN_MS : clockMs / 2;
}

}  // namespace vostil
