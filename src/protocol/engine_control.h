// State shared between the command loop, the engine thread and the search.
#pragma once

#include <atomic>
#include <cstdint>

namespace vostil {

enum EngineState : int {
    ENGINE_IDLE = 0,
    ENGINE_THINKING = 1,
    ENGINE_PONDERING = 2,
    ENGINE_AWAITING_MOVE = 3,
    ENGINE_QUIT = 4,
};

extern std::atomic<int> engineState;
extern std::atomic<bool> stopFlag;
extern std::atomic<bool> failLowFlag;
extern std::atomic<int> depthLimit;

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

// Engine thread side.
void engineThreadMain();
void parkEngine();
void runThinking();
// Main thread side.
void createEngineThread();
void joinEngineThread();
void stopEngine();
void startEngine(int depth);
void stopWithExtraTime();
void thinkAndMove();

// Budget arithmetic of "time" and of the first move after the book.
uint32_t budgetForClock(int32_t centiseconds, uint32_t increment, int32_t movesPerControl);
uint32_t budgetAfterBook(uint32_t budget, int32_t movesPerControl);
// Longest time one move may take on the reported clock (CLOCK_UNKNOWN when none was reported).
uint32_t moveTimeCap();

inline bool stopRequested() { return stopFlag.load(std::memory_order_relaxed); }

}  // namespace vostil
