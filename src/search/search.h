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

// Keeps selectiveDepth at the deepest ply a node has been visited.
inline void noteSelectiveDepth(const PlyRecord& ply) {
    const int reached = int(&ply - PlyRecords);
    if (reached > selectiveDepth) selectiveDepth = reached;
}

// The first MoveStack entry: the move to play and its score.
inline MoveEntry& SearchResult() { return MoveStack[0]; }

Score quiesce(int qd, int alpha, int beta);
Score searchNode(int depth, int alpha, int beta);
// Searches the root list from entry `first` on (the entries before it are the better lines
// already found) and puts the best of them at `first`; 0 searches the whole list for the
// SearchResult.
Score searchRoot(int alpha, int beta, int first = 0);
// The root list for this search: every pseudo-legal move, or only the root choices when the
// interface named some.
MoveEntry* generateRootList(MoveEntry* list, const CheckInfo& checkInfo);
// Makes the root list at MoveStack unless this search has made it already (the position is the
// root's); true when it was made now.
bool ensureRootList();
// Writes the line of a root move: the move, then at most n - 1 moves of the table's line after it.
void rootMoveLine(char* text, Move move, int n);
// The lines of the iteration just completed below the first: move, score and line text.
struct RootLine {
    Move move;
    int score;
    char text[PV_TEXT_SIZE];
};
extern RootLine rootLines[MAX_LINE_COUNT];
// Searches the lines below the first after a completed iteration, into rootLines[1] on, best
// first, until `wanted` lines in all, no legal move left or a stop; returns the number of
// lines in all, the first included.
int searchLowerLines(int wanted);

// Searches the current position up to depthLimit; returns a legal move or a result code.
Move iterativeDeepening();
// Writes at most n moves of the stored line from the current position.
void principalVariation(char* text, int n);

void clearHistoryScores();
void clearKillers();

}  // namespace vostil
