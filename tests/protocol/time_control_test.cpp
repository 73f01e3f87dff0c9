// The budget arithmetic of "time", of the first move after the book, the clock cap, and the
// fixed time and depth per move.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <tuple>

#include "game/engine_control.h"
#include "protocol/clock_commands.h"
#include "protocol/input_reader.h"

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
    EXPECT_EQ(budgetAfterBook(2000, 1), 2000u);  // fewer than ten moves: never less than the budget
    EXPECT_EQ(budgetAfterBook(5000, 12), 6000u);
}

TEST(TimeBudget, OneMoveNeverTakesTheWholeClockAndAnEmptyClockSpendsTheIncrement) {
    const struct { uint32_t clock, increment, cap; } rows[] = {
        {CLOCK_UNKNOWN, 0, CLOCK_UNKNOWN}, {CLOCK_UNKNOWN, 2000, CLOCK_UNKNOWN},
        {60000, 0, 60000 - CLOCK_SAFETY_MARGIN_MS}, {200, 0, 100}, {0, 0, 0},
        {0, 2000, 2000 - CLOCK_SAFETY_MARGIN_MS}, {500, 2000, 500 - CLOCK_SAFETY_MARGIN_MS},
        {CLOCK_UNKNOWN - 1, 3600000000u, CLOCK_UNKNOWN - 1 - CLOCK_SAFETY_MARGIN_MS},
    };
    for (const auto& row : rows) {
        clockMs = row.clock, incrementMs = row.increment;
        EXPECT_EQ(moveTimeCap(), row.cap) << row.clock << " " << row.increment;
    }
    clockMs = CLOCK_UNKNOWN, incrementMs = 0;
}

TEST(TimeBudget, ALevelsBaseIsTheClockUntilATimeCommand) {
    const struct { const char* arguments; int32_t moves; uint32_t increment, budget, clock; } rows[] = {
        {"40 5 0", 40, 0, 7470, 300000}, {"0 5:30 2", 40, 2000, 2000 + (32900 / 40) * 10, 330000},
        {"40 0 5", 40, 5000, 5000, 0}, {"20 -3 0", 20, 0, 0, 0},
        {"30 x 7", 30, 9, 11, 12},  // the base is not read: the clock stays as it was
    };
    for (const auto& row : rows) {
        int32_t moves = 7;
        uint32_t increment = 9, budget = 11, clock = 12;
        std::FILE* text = fmemopen(const_cast<char*>(row.arguments), std::strlen(row.arguments), "r");
        InputReader in(text);
        readLevelArguments(in, moves, increment, budget, clock);
        std::fclose(text);
        EXPECT_EQ(std::tie(moves, increment, budget, clock), std::tie(row.moves, row.increment, row.budget, row.clock))
            << row.arguments;
    }
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
