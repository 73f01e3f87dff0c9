// The search's own state that outlives a single node: the iteration depth, the history
// counters, the principal-variation text, the node counter and the door's flags.
#include <cstring>

#include "search/search.h"

namespace vostil {

int iterationDepth = 0;
int32_t historyScores[2][4096];
char pvText[PV_TEXT_SIZE];
uint64_t nodeCount = 0;
bool rootAnsweredByTable = false;

std::atomic<bool> stopFlag{false};
std::atomic<bool> wrapUpFlag{false};
std::atomic<bool> failLowFlag{false};
std::atomic<int> depthLimit{MAX_DEPTH_LIMIT};
SearchReport searchReport = nullptr;
IterationReport iterationReport = nullptr;
std::atomic<int> lineCount{1};
Move rootChoices[MAX_ROOT_CHOICES];
int rootChoiceCount = 0;
RootMoveReport rootMoveReport = nullptr;
int selectiveDepth = 0;
std::atomic<bool> resumeFromTable{true};
std::atomic<bool> searchDrawnRoot{false};
SearchProgress searchProgress;

// History counters only describe the position they were gathered in, so every game move
// and every setup starts them afresh.
void clearHistoryScores() { std::memset(historyScores, 0, sizeof historyScores); }

// Killers survive from search to search within a game; only a new position forgets them.
void clearKillers() {
    for (PlyRecord& ply : PlyRecords) {
        ply.killer1 = 0;
        ply.killer2 = 0;
    }
}

}  // namespace vostil
