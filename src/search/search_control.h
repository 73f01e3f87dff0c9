// The search's one door to the outside: what the layer above asks of a running search
// (stop now, finish the iteration, how deep), what the search tells back (a fail low), and
// the lines it reports as it goes. The search reads no clock, prints nothing and writes no
// file of its own.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/types.h"

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

// Receives each completed iteration as it is logged: its depth, its score for the side to
// move and its line in coordinate text. A search stopped before any iteration was done
// reports the table's result it returns, at the depth it was found (`completed` false).
// Null for nobody.
// `lineNumber` is 0 when the search tells one line per iteration, else the line's rank (1 for
// the best) among the several it tells.
using IterationReport = void (*)(int depth, int score, const char* line, bool completed, int lineNumber);
extern IterationReport iterationReport;

// How many of the best root moves each iteration tells, each with its own line (1 to
// MAX_LINE_COUNT). The first is the one-line search's own result; the others are searched after
// it, with the moves above them left out, and leave nothing behind that a later iteration reads.
// Read at each iteration.
constexpr int MAX_LINE_COUNT = 16;
extern std::atomic<int> lineCount;

// The root moves the search may choose from, for an interface that names them; none listed,
// every legal move. Only legal moves are listed. Set while the engine thread is parked.
constexpr int MAX_ROOT_CHOICES = 256;
extern Move rootChoices[MAX_ROOT_CHOICES];
extern int rootChoiceCount;
inline bool rootRestricted() { return rootChoiceCount != 0; }

// Each root move as the search begins it (its number counted from 1), for an interface that
// shows what is being searched. Null for nobody.
using RootMoveReport = void (*)(int depth, Move move, int number);
extern RootMoveReport rootMoveReport;

// The deepest ply the search has reached since it began, quiescence included.
extern int selectiveDepth;

// A search resumes from the depth the table knows for its root; cleared, it starts from the
// first iteration (those the table already answers pass at once), so that it has something
// to say at once.
extern std::atomic<bool> resumeFromTable;

// A root already drawn by rule is searched all the same, for an interface that judges the
// draw itself and still wants a move; cleared, such a root gives the repetition result at once.
extern std::atomic<bool> searchDrawnRoot;

// How far the search has got, for a status asked from another thread: published at each
// root move, read without waiting.
struct SearchProgress {
    std::atomic<int> depth{0};          // the iteration in progress
    std::atomic<int> rootMoves{0};      // moves of the root list
    std::atomic<int> rootMovesDone{0};  // of them searched in this iteration
    std::atomic<uint16_t> rootMove{0};  // the one being searched
    std::atomic<uint64_t> nodes{0};     // the search's node counter
};
extern SearchProgress searchProgress;

}  // namespace vostil
