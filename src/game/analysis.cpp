// Analysis on the engine thread while the main thread keeps reading the interface.
#include "game/analysis.h"

#include <cinttypes>
#include <cstdio>

#include "board/position.h"
#include "common/move_text.h"
#include "common/output.h"
#include "game/engine_control.h"
#include "game/engine_events.h"
#include "game/setup_game_position.h"
#include "game/thinking_output.h"
#include "movegen/legal_moves.h"
#include "search/draw_detection.h"
#include "search/search_control.h"

namespace vostil {

namespace {

// Whether the engine thread was started on the position (main thread only).
bool searching = false;

}  // namespace

void enterAnalysis() {
    analysisMode = true;
    resumeFromTable = false;  // every position shows its lines from the first iteration on
    analysePosition();
}

void analysePosition() {
    if (!analysisMode || searching || !gamePositionReady) return;
    // The interface shows the verdict where a line would stand, and no search runs.
    if (firstLegalMove() == 0) {
        sendLine(currentPly->checkInfo.checkers ? "0 -100000 0 0 (mated)\n" : "0 0 0 0 (stalemate)\n");
        return;
    }
    if (isDraw(ROOT_REPETITION_COUNT)) {
        sendLine("0 0 0 0 (draw)\n");
        return;
    }
    engineState = ENGINE_THINKING;
    startEngine(NO_DEPTH_LIMIT);
    searching = true;
}

// A search that was started ends parked inside itself; it is woken once more to park as an
// idle engine, as after every move, so that the next start finds it where starts expect it.
void pauseAnalysis() {
    if (!searching) return;
    stopEngine();
    engineState = ENGINE_IDLE;
    startEngine(NO_DEPTH_LIMIT);
    stoppedEvent->wait();
    searching = false;
}

void leaveAnalysis() {
    pauseAnalysis();
    analysisMode = false;
    resumeFromTable = true;
    engineState = ENGINE_IDLE;
}

void formatAnalysisStatus(char* out, size_t size) {
    if (!searching) {
        std::snprintf(out, size, "stat01: 0 0 0 0 0\n");
        return;
    }
    const int total = searchProgress.rootMoves.load(std::memory_order_relaxed);
    const int done = searchProgress.rootMovesDone.load(std::memory_order_relaxed);
    char move[8];
    formatCoordinateMove(move, searchProgress.rootMove.load(std::memory_order_relaxed));
    std::snprintf(out, size, "stat01: %u %" PRIu64 " %d %d %d %s\n", unsigned(searchCentiseconds()),
                  searchNodesSoFar(), searchProgress.depth.load(std::memory_order_relaxed),
                  total - done, total, move);
}

}  // namespace vostil
