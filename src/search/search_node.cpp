// Interior search: fail-soft principal-variation alpha-beta below the root. Every legal move
// that does not repeat a position is searched to exactly one ply less; no pruning, no
// extensions, no reductions.
#include <cassert>

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

// depth >= 1 is the remaining depth; the caller has made the move leading here, advanced
// currentPly and cleared this ply's moveListEnd.
Score searchNode(int depth, int alpha, int beta) {
    assert(depth >= 1);
    PlyRecord& ply = *currentPly;
    noteSelectiveDepth(ply);

    // Step 1. The table answers a deep enough node or narrows the window.
    int tableScore;
    if (probeHash(depth, alpha, beta, tableScore)) return Score(tableScore);
    // The table's move is searched first: its child's bucket can load during the generation.
    if (ply.hashMove) prefetchBucketAfter(ply.hashMove);

    // Step 2. Checkers decide the generator.
    computeCheckInfo(ply);
    int best = -SCORE_INFINITE;
    Move bestMove = 0;
    int bound = BOUND_UPPER;

    // Step 3. The list starts where the parent's ends.
    MoveEntry* const list = (&ply - 1)->moveListEnd;
    if (ply.moveListEnd == nullptr) {
        ply.moveListEnd = generateFullWidth(list, ply.checkInfo);
        saveUndoState();
    }
    MoveEntry* const end = ply.moveListEnd;
    rescoreFullWidth(list, end, ply.hashMove, ply.killer1, ply.killer2);
    // Above the horizon the children are quiescence nodes, the most numerous: fetch the
    // buckets of all of them now, not only of the next one.
    if (depth == 1)
        for (MoveEntry* e = list; e < end; ++e) prefetchBucketAfter(e->move);

    // Step 4. Search the moves: captures and killers by score, the rest by history.
    const int mover = pos.sideToMove;
    const int32_t* counters = historyScores[mover];
    uint32_t* keys = nullptr;
    for (MoveEntry* cursor = list; cursor < end; ++cursor) {
        const Move next = selectNextMove(cursor, end, keys, ply.orderKeys, counters);
        if (next) prefetchBucketAfter(next);
        const Move move = cursor->move;
        makeMove(move);
        prefetchBucket();
        ++currentPly;
        ++nodeCount;
        int s;
        if (isKingAttacked(move, mover, ply.checkInfo)) {
            s = -SCORE_INFINITE;
        } else if (isDraw(INTERIOR_REPETITION_COUNT)) {
            s = 0;
        } else {
            currentPly->moveListEnd = nullptr;
            if (depth == 1) {
                s = -quiesce(0, -beta, -alpha);
            } else if (bound == BOUND_EXACT) {
                // A move already raised alpha: prove the others worse with a null window.
                s = -searchNode(depth - 1, -alpha - 1, -alpha);
                if (s > alpha && s < beta) s = -searchNode(depth - 1, -beta, -alpha);
            } else {
                s = -searchNode(depth - 1, -beta, -alpha);
            }
        }
        --currentPly;
        unmakeMove(move);
        if (stopRequested()) return Score(best);
        cursor->score = OrderScore(s);
        if (keys) ++keys;

        if (s > best) {
            if (s > alpha) {
                if (s >= beta) {
                    if (isKillerKind(move)) recordKiller(ply, move);
                    historyScores[mover][move & 0xFFF] += depth * depth;
                    storeHash(move, s, depth, BOUND_LOWER);
                    return Score(s);
                }
                alpha = s;
                bound = BOUND_EXACT;
            }
            best = s;
            bestMove = move;
        }
    }

    // Step 5. Store the result; no legal move is mate or stalemate.
    if (best != -SCORE_INFINITE) {
        storeHash(bestMove, best, depth, bound);
        return Score(best);
    }
    if (ply.checkInfo.checkers) {
        const int mated = iterationDepth - depth - MATE_SCORE;
        storeHash(RESULT_MATED, mated, depth, BOUND_EXACT);
        return Score(mated);
    }
    storeHash(RESULT_STALEMATE, 0, depth, BOUND_EXACT);
    return 0;
}

}  // namespace vostil
