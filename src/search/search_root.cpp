// Root search: one pass over the root list for the current iteration. The list is generated
// once per search and keeps each move's last searched score for the next iteration's order;
// the best move ends up in the first MoveStack entry, the SearchResult.
#include <cassert>
#include <utility>

#include "board/make_move.h"
#include "board/position.h"
#include "board/unmake_move.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "search/draw_detection.h"
#include "search/move_selection.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

Score searchRoot(int alpha, int beta, int first) {
    PlyRecord& root = *currentPly;
    assert(&root == PlyRecords);
    assert(iterationDepth >= 2);
    // The table's root entry speaks for the best of every legal move: only a search of them
    // all may write it, and only a search for that one move may take it as its answer.
    const bool wholeRoot = first == 0 && !rootRestricted();

    // Step 1. A deep enough root entry answers the whole iteration.
    int tableScore;
    rootAnsweredByTable = false;
    if (first == 0) {
        rootAnsweredByTable = probeHash(wholeRoot ? iterationDepth : MAX_DEPTH_LIMIT + 1, alpha, beta, tableScore);
        if (rootAnsweredByTable) return Score(tableScore);
    }

    int best = -SCORE_INFINITE;
    int bound = BOUND_UPPER;
    MoveEntry* bestEntry = nullptr;

    // Step 2. The first iteration of a search builds the list; later ones reuse it.
    MoveEntry* const list = MoveStack;
    ensureRootList();
    MoveEntry* const end = root.moveListEnd;
    MoveEntry* const start = list + first;
    rescoreFullWidth(start, end, root.hashMove, root.killer1, root.killer2);

    // Step 3. Search every move, the previous best first.
    const int mover = pos.sideToMove;
    const int32_t* counters = historyScores[mover];
    uint32_t* keys = nullptr;
    searchProgress.depth.store(iterationDepth, std::memory_order_relaxed);
    searchProgress.rootMoves.store(int(end - list), std::memory_order_relaxed);
    for (MoveEntry* cursor = start; cursor < end; ++cursor) {
        const Move next = selectNextMove(cursor, end, keys, root.orderKeys, counters);
        if (next) prefetchBucketAfter(next);
        const Move move = cursor->move;
        searchProgress.rootMovesDone.store(int(cursor - list), std::memory_order_relaxed);
        searchProgress.rootMove.store(move, std::memory_order_relaxed);
        searchProgress.nodes.store(nodeCount, std::memory_order_relaxed);
        if (rootMoveReport) rootMoveReport(iterationDepth, move, int(cursor - list) + 1);
        makeMove(move);
        prefetchBucket();
        ++currentPly;
        ++nodeCount;
        int s;
        if (isKingAttacked(move, mover)) {
            s = -SCORE_INFINITE;
        } else if (isDraw(ROOT_REPETITION_COUNT)) {
            s = 0;
        } else {
            currentPly->moveListEnd = nullptr;
            if (bound == BOUND_EXACT) {
                s = -searchNode(iterationDepth - 1, -alpha - 1, -alpha);
                if (s > alpha && s < beta) s = -searchNode(iterationDepth - 1, -beta, -alpha);
            } else {
                s = -searchNode(iterationDepth - 1, -beta, -alpha);
            }
        }
        --currentPly;
        unmakeMove(move);
        // An interrupted iteration leaves the SearchResult as the previous one left it.
        if (stopRequested()) return Score(best);
        cursor->score = OrderScore(s);
        if (keys) ++keys;

        if (s > best) {
            best = s;
            bestEntry = cursor;
            if (s > alpha) {
                if (s >= beta) {
                    if (isKillerKind(move)) recordKiller(root, move);
                    historyScores[mover][move & 0xFFF] += iterationDepth * iterationDepth;
                    if (wholeRoot) storeHash(move, s, iterationDepth, BOUND_LOWER);
                    std::swap(*bestEntry, *start);
                    return Score(s);
                }
                alpha = s;
                bound = BOUND_EXACT;
            }
        }
    }

    // Step 4. The best move becomes the SearchResult (or the first entry searched); no legal
    // move ends the game.
    if (bestEntry) {
        if (wholeRoot) storeHash(bestEntry->move, best, iterationDepth, bound);
        std::swap(*bestEntry, *start);
        return Score(best);
    }
    // The moves above it were all there were.
    if (first > 0) return Score(best);
    // Every entry of the list is illegal: drop them, so that later iterations never try
    // the result code that now stands in the first entry.
    root.moveListEnd = list;
    if (root.checkInfo.checkers) {
        SearchResult() = MoveEntry{Score(-MATE_SCORE), RESULT_MATED};
        storeHash(RESULT_MATED, -MATE_SCORE, iterationDepth, BOUND_EXACT);
        return Score(-MATE_SCORE);
    }
    SearchResult() = MoveEntry{0, RESULT_STALEMATE};
    storeHash(RESULT_STALEMATE, 0, iterationDepth, BOUND_EXACT);
    return 0;
}

}  // namespace vostil
