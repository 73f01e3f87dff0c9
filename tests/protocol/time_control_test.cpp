// The budget arithmetic of "time", of the first move after the book, the clock cap, and the
// fixed time and depth per move.
#include <gtest/gtest.h>

#include "game/engine_control.h"

using namespace vostil;

TEST(TimeBudget, OneSecondIsHeldBackFromTwoSecondsOn) {
    EXPECT_EQ(budgetForClock(199, 0, 40), (199u / 40) * 10);
    EXPECT_EQ(budgetForClock(200, 0, 40), (100u / 40) * 10);
    EXPECT_EQ(budgetForClock(30000, 0, 40), 7470u);
}

TEST(TimeBudget, IncrementIsAddedWhole) {
    EXPECT_EQ(budgetForClock(30000, 12000, 40), 19470u);
    EXPECT_EQ(budgetForClock(30000, 500, 20), 500u + (29900u / 20) * 10);
}

TEST(TimeBudget, AnOverdrawnClockLeavesTheIncrementOnly) {
    EXPECT_EQ(budgetForClock(0, 0, 40), 0u);
    EXPECT_EQ(budgetForClock(-500, 2000, 40), 2000u);
}

TEST(TimeBudget, FirstMoveOutOfTheBookGetsMoreTime) {
    EXPECT_EQ(budgetAfterBook(5000, 40), 15000u);  // tripled
    EXPECT_EQ(budgetAfterBook(5000, 20), 10000u);  // fewer moves per control: the smaller term
    EXPECT_EQ(budgetAfterBook(5000, 30), 15000u);
}

TEST(TimeBudget, OneMoveNeverTakesTheWholeClock) {
    clockMs = CLOCK_UNKNOWN;
    EXPECT_EQ(moveTimeCap(), CLOCK_UNKNOWN);
    clockMs = 60000;
    EXPECT_EQ(moveTimeCap(), 60000u - CLOCK_SAFETY_MARGIN_MS);
    clockMs = 200;
    EXPECT_LT(moveTimeCap(), 200u);
    clockMs = 0;
    EXPECT_EQ(moveTimeCap(), 0u);
    clockMs = CLOCK_UNKNOWN;
}

TEST(TimeBudget, AFixedTimePerMoveCapsEveryMoveWithinTheClock) {
    clockMs = CLOCK_UNKNOWN;
    setFixedMoveTime(3);
    EXPECT_EQ(moveTimeCap(), 3000u - CLOCK_SAFETY_MARGIN_MS);
    setFixedMoveTime(0.5);
    EXPECT_EQ(moveTimeCap(), 500u - CLOCK_SAFETY_MARGIN_MS);
    setFixedMoveTime(0.2);  // too short for the whole margin: half of it is spent
    EXPECT_EQ(moveTimeCap(), 100u);
    setFixedMoveTime(-4);
    EXPECT_EQ(moveTimeCap(), 0u);
    // The clock still has the last word: a move never overdraws it.
    setFixedMoveTime(120000);
    clockMs = 20000;
    EXPECT_EQ(moveTimeCap(), 20000u - CLOCK_SAFETY_MARGIN_MS);
    clockMs = CLOCK_UNKNOWN;
    fixedMoveTimeMs = NO_FIXED_MOVE_TIME;
    EXPECT_EQ(moveTimeCap(), CLOCK_UNKNOWN);
}

TEST(TimeBudget, AFixedDepthStaysWithinWhatTheSearchCanDo) {
    const struct { long long asked; int depth; } rows[] = {
        {3, 3}, {2, SHALLOWEST_DEPTH}, {1, SHALLOWEST_DEPTH}, {0, SHALLOWEST_DEPTH},
        {-7, SHALLOWEST_DEPTH}, {63, 63}, {64, 63}, {50000000000LL, 63},
    };
    for (const auto& row : rows) {
        setSearchDepth(row.asked);
        EXPECT_EQ(searchDepthCap, row.depth) << row.asked;
    }
    searchDepthCap = NO_DEPTH_LIMIT;
}
