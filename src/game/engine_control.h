// Game control: the engine thread and its states, the time settings and the budget arithmetic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

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
// The engine's clock as the last "time" or "level" gave it, in ms; caps the total time of one
// move.
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
// No time limit: the search runs until its depth limit, a node limit or a stop.
extern bool unlimitedTime;
// The search runs until a stop from outside, even past its own end, and no book move is
// played: for an interface that analyses or ponders.
extern bool searchUntilStopped;
// The search may stop once it has counted this many nodes (0 for no limit); checked as the
// search publishes its count, at each root move.
extern uint64_t nodeLimit;
// A stop from outside (any thread): the search ends at once, without extra time.
extern std::atomic<bool> outsideStop;

// One search as a UCI interface asks for it: its clock, a fixed time, a depth, a node count,
// or none of them.
struct SearchRequest {
    bool hasClock = false;
    int64_t clockMs = 0;        // the side to move's clock (overdrawn below 0)
    int64_t incrementMs = 0;
    int64_t movesToGo = 0;      // 0 for the usual divisor
    bool hasMoveTime = false;
    int64_t moveTimeMs = 0;     // a fixed time for this move
    int64_t depth = 0;          // 0 for no depth limit
    uint64_t nodes = 0;         // 0 for no node limit
    bool untilStopped = false;  // "infinite" and "ponder"
    // The root moves to choose from ("searchmoves"), legal ones only; none, every move.
    int searchMoveCount = 0;
    Move searchMoves[MAX_ROOT_CHOICES];
};

// Engine thread side.
void engineThreadMain();
void parkEngine();
void runThinking();
// Main thread side.
void createEngineThread();
void joinEngineThread();
// The engine thread woken to quit, and waited for.
void quitEngineThread();
void stopEngine();
void startEngine(int depth);

// Budget arithmetic of "time" and of the first move after the book.
uint32_t budgetForClock(int32_t centiseconds, uint32_t increment, int32_t movesPerControl);
uint32_t budgetAfterBook(uint32_t budget, int32_t movesPerControl);
// The "test" command's budget: the arithmetic of a clock of about 477 days.
uint32_t testCommandBudget(uint32_t increment, int32_t movesPerControl);
// Longest time one move may take: the reported clock and the increment, less the safety
// margin (CLOCK_UNKNOWN when no clock was reported).
uint32_t moveTimeCap();
// The move has no time limit: none was asked for (UCI), or a depth limit was given and no clock
// at all ("sd" before any "level" or "time").
bool moveIsUntimed();
// "st": seconds per move (fractions allowed); the move then takes that less the safety margin.
void setFixedMoveTime(double seconds);
// "sd": at most `depth` plies, within what the search can do (2 to 63).
void setSearchDepth(long long depth);
// The budget of a clock in milliseconds: the arithmetic of budgetForClock without its
// centiseconds, the same one second held back.
uint32_t budgetForClockMs(uint32_t clock, uint32_t increment, int32_t movesPerControl);
// Sets every limit of the next move from one request; what the request leaves out is unlimited.
void applySearchRequest(const SearchRequest& request);

// Several lines ("MultiPV"), the same option in both protocols: how many of the best root moves
// each iteration tells. A number out of range is brought to the nearest bound; false, and
// nothing changed, for a value that is no number.
bool setLineCountOption(std::string_view value);

}  // namespace vostil
