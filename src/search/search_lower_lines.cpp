// The lower lines of an iteration: after the one-line search has found the best root move,
// the best of the others, then the best of the rest, each searched with the full window. They
// leave nothing behind that the next iteration reads: the root list, the history counters and
// the killers are put back, and the transposition table and the pawn cache are only read (the
// cached pawn score depends on the stage of the position that stored it). So the first line at
// every depth is exactly what a one-line search finds.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "board/position.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

RootLine rootLines[MAX_LINE_COUNT];

namespace {

constexpr int ROOT_LIST_LIMIT = 320;  // more than any position's pseudo-legal moves
MoveEntry savedList[ROOT_LIST_LIMIT];
int32_t savedHistory[2][4096];
Move savedKillers[PLY_RECORD_COUNT + 2][2];

void saveOrdering(const MoveEntry* list, int size) {
    std::copy(list, list + size, savedList);
    std::memcpy(savedHistory, historyScores, sizeof historyScores);
    for (int i = 0; i < PLY_RECORD_COUNT + 2; ++i) {
        savedKillers[i][0] = PlyRecords[i].killer1;
        savedKillers[i][1] = PlyRecords[i].killer2;
    }
}

void restoreOrdering(MoveEntry* list, int size) {
    std::copy(savedList, savedList + size, list);
    std::memcpy(historyScores, savedHistory, sizeof historyScores);
    for (int i = 0; i < PLY_RECORD_COUNT + 2; ++i) {
        PlyRecords[i].killer1 = savedKillers[i][0];
        PlyRecords[i].killer2 = savedKillers[i][1];
    }
}

}  // namespace

int searchLowerLines(int wanted) {
    if (wanted <= 1) return 1;
    PlyRecord& root = PlyRecords[0];
    MoveEntry* const list = MoveStack;
    // The first entry of the list is the SearchResult. An iteration the table answered whole
    // has not made the list yet: it is made here for the lower lines and dropped again
    // afterwards, the result put back, so that the first iteration searched makes its own.
    const MoveEntry result = SearchResult();
    const bool listMadeHere = ensureRootList();
    const int size = int(root.moveListEnd - list);
    assert(size <= ROOT_LIST_LIMIT);
    MoveEntry* const firstLine =
        std::find_if(list, list + size, [&result](const MoveEntry& e) { return e.move == result.move; });
    if (size <= 1 || firstLine == list + size) {
        if (listMadeHere) {
            root.moveListEnd = nullptr;
            SearchResult() = result;
        }
        return 1;
    }
    saveOrdering(list, size);
    std::swap(*firstLine, list[0]);
    tableFrozen = pawnCacheFrozen = true;
    int lines = 1;
    for (; lines < wanted && lines < size; ++lines) {
        const int s = searchRoot(-MATE_SCORE, MATE_SCORE - 1, lines);
        // Stopped, or no legal move left below the lines found.
        if (stopRequested() || s == -SCORE_INFINITE) break;
        rootLines[lines].move = list[lines].move;
        rootLines[lines].score = s;
        rootMoveLine(rootLines[lines].text, list[lines].move, iterationDepth);
    }
    tableFrozen = pawnCacheFrozen = false;
    restoreOrdering(list, size);
    if (listMadeHere) {
        root.moveListEnd = nullptr;
        SearchResult() = result;
    }
    // Each line is the best of what the lines above it left, so they come in order, but the
    // killers and counters learnt meanwhile may still swap two neighbours. Sorted in place (a
    // sorting buffer would be allocated), equals kept in their order.
    for (int i = 2; i < lines; ++i)
        for (int j = i; j > 1 && rootLines[j - 1].score < rootLines[j].score; --j)
            std::swap(rootLines[j - 1], rootLines[j]);
    return lines;
}

}  // namespace vostil
