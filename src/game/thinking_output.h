// Thinking lines: each finished iteration told to the interface, when it asks for them
// ("post") and whenever the engine analyses.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "common/types.h"

namespace vostil {

extern std::atomic<bool> postThinking;  // "post" on, "nopost" off; off at start-up
extern std::atomic<bool> analysisMode;  // analysing: thinking lines whatever "post" says

// Mate scores as the interfaces read them: 100000 + N for mate in N moves, -100000 - N for
// mated in N; other scores unchanged (centipawns for the side to move).
int thinkingScore(int score);
// "depth score time nodes line\n", time in centiseconds, the line's moves without its closing
// mark (nothing after the nodes when it has none).
void formatThinkingLine(char* out, size_t size, int depth, int score, uint32_t centiseconds,
                        uint64_t nodes, const char* line);

// What a UCI "info" line tells of one line of an iteration.
struct UciInfo {
    int depth;
    int selectiveDepth;  // the deepest ply reached
    int lineNumber;      // 0 when the search tells one line, else the line's rank
    int score;           // for the side to move
    uint32_t milliseconds;
    uint64_t nodes;
    int hashfull;        // the table's use in permille
};
// "info depth D seldepth S [multipv I] score cp X|mate M nodes N time T nps R hashfull H pv
// line\n" as UCI interfaces read it: time in milliseconds, mate M in moves (negative when
// mated), "multipv" only with several lines, the line's moves without its closing mark, and no
// "pv" without a move.
void formatUciInfoLine(char* out, size_t size, const UciInfo& info, const char* line);

// A search starts: its time and nodes count from here (engine thread).
void startSearchClock();
uint32_t searchMilliseconds();
uint32_t searchCentiseconds();
// Nodes since the search started, as last published at a root move (any thread).
uint64_t searchNodesSoFar();
// The engine thread's report of each finished iteration, and of the result a search stopped
// early returns (not in analysis: it would come after the interface has moved on).
void reportIteration(int depth, int score, const char* line, bool completed, int lineNumber);
// The same report as a UCI "info" line, always: UCI has no switch for it, and the early
// result comes before the move it explains.
void reportUciIteration(int depth, int score, const char* line, bool completed, int lineNumber);
// The root move a UCI search begins ("currmove"), told after the first second of a search and
// then at most twice a second: what a long search is doing, without flooding the interface.
void reportUciRootMove(int depth, Move move, int number);

}  // namespace vostil
