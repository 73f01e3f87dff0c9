// Analysis: the engine searches the game position without end, printing what it thinks, while
// the interface goes on talking; moves and takebacks pause it, change the game and start it
// again. It never plays a move or claims a result, and it does not ask the book.
#pragma once

#include <cstddef>

namespace vostil {

// Enters analysis and analyses the game position.
void enterAnalysis();
// Analyses the game position as it now stands: the search starts, or one line says why
// there is nothing to search (mated, stalemate, drawn) and the engine waits.
void analysePosition();
// Stops the search and parks the engine thread, so that the game may change.
void pauseAnalysis();
// Leaves analysis: the engine then only records moves, as in force mode.
void leaveAnalysis();
// The protocol's status line: "stat01: time nodes ply mvleft mvtot mvname\n".
void formatAnalysisStatus(char* out, size_t size);

}  // namespace vostil
