// The budget arithmetic of "time", of the first move after the book, and the clock cap.
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
