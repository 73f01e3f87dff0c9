// Iterative deepening, root, interior and quiescence search, principal variation.
#pragma once

#include <atomic>
#include <cstdint>

#include "board/position.h"
#include "search/search_control.h"

namespace vostil {

constexpr int ASPIRATION_WINDOW = 30;
constexpr int QUIESCENCE_FLOOR = -8;
constexpr int HISTORY_KEY_OFFSET = 33000;
constexpr int PV_TEXT_SIZE = 1024;

extern int iterationDepth;
extern int32_t historyScores[2][4096];
extern char pvText[PV_TEXT_SIZE];
// Moves made by the search; the benchmark's measure, nothing else reads it.
extern uint64_t nodeCount;
// Whether the last searchRoot was answered whole by the table's root entry, searching nothing.
extern bool rootAnsweredByTable;

// The first MoveStack entry: the move to play and its score.
inline MoveEntry& SearchResult() { return MoveStack[0]; }

Score quiesce(int qd, int alpha, int beta);
Score searchNode(int depth, int alpha, int beta);
Score searchRoot(int alpha, int beta);
// Searches the current position up to depthLimit; returns a legal move or a result code.
Move iterativeDeepening();
// Writes at most n moves of the stored line from the current position.
void principalVariation(char* text, int n);

void clearHistoryScores();
void clearKillers();

}  // namespace vostil
