// Game control: the engine thread and its states, the time settings and the budget arithmetic.
#pragma once

#include <atomic>
#include <cstdint>

#include "search/search_control.h"

namespace vostil {

enum EngineState : int {
    ENGINE_IDLE = 0,
    ENGINE_THINKING = 1,
    ENGINE_PONDERING = 2,
    ENGINE_AWAITING_MOVE = 3,
    ENGINE_QUIT = 4,
};

extern std::atomic<int> engineState;

// Handed to startEngine when the search may go as deep as it can.
constexpr int NO_DEPTH_LIMIT = MAX_DEPTH_LIMIT + 1;

// Game-control settings (main thread only).
extern int32_t movesPerTimeControl;
extern uint32_t incrementMs;
extern uint32_t moveBudgetMs;
// Clock the last "time" reported, in ms; caps the total time of one move.
extern uint32_t clockMs;
constexpr uint32_t CLOCK_UNKNOWN = 0xFFFFFFFFu;
// Held back from the clock for process start-up, pipes and the interface's own overhead.
constexpr uint32_t CLOCK_SAFETY_MARGIN_MS = 150;
extern bool bookMovePlayed;
// A fixed time per move ("st"), in ms, until the next "level"; NO_FIXED_MOVE_TIME for none.
constexpr uint32_t NO_FIXED_MOVE_TIME = 0xFFFFFFFFu;
extern uint32_t fixedMoveTimeMs;
// The deepest iteration a move may search ("sd"), until the next new game.
extern int searchDepthCap;
// The shallowest search the engine has: its first iteration.
constexpr int SHALLOWEST_DEPTH = 2;

// Engine thread side.
void engineThreadMain();
void parkEngine();
void runThinking();
// Main thread side.
void createEngineThread();
void joinEngineThread();
void stopEngine();
void startEngine(int depth);

// Budget arithmetic of "time" and of the first move after the book.
uint32_t budgetForClock(int32_t centiseconds, uint32_t increment, int32_t movesPerControl);
uint32_t budgetAfterBook(uint32_t budget, int32_t movesPerControl);
// The "test" command's budget: the arithmetic of a clock of about 477 days.
uint32_t testCommandBudget(uint32_t increment, int32_t movesPerControl);
// Longest time one move may take on the reported clock (CLOCK_UNKNOWN when none was reported).
uint32_t moveTimeCap();
// "st": seconds per move (fractions allowed); the move then takes that less the safety margin.
void setFixedMoveTime(double seconds);
// "sd": at most `depth` plies, within what the search can do (2 to 63).
void setSearchDepth(long long depth);

}  // namespace vostil
