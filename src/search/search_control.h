// The search's one door to the outside: what the layer above asks of a running search
// (stop now, finish the iteration, how deep), what the search tells back (a fail low), and
// the lines it reports as it goes. The search reads no clock, prints nothing and writes no
// file of its own.
#pragma once

#include <atomic>

namespace vostil {

constexpr int MAX_DEPTH_LIMIT = 63;

extern std::atomic<bool> stopFlag;        // return at once
extern std::atomic<bool> wrapUpFlag;      // end after the iteration in progress
extern std::atomic<bool> failLowFlag;     // the iteration in progress fell below its window
extern std::atomic<int> depthLimit;       // deepest iteration

inline bool stopRequested() { return stopFlag.load(std::memory_order_relaxed); }

// Receives every line the search has to say (the searched position, each iteration's score
// and line, how it ended), in order. Null keeps the search silent.
using SearchReport = void (*)(const char* line);
extern SearchReport searchReport;

}  // namespace vostil
