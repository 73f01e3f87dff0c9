// Quiescence search: captures (all evasions when in check) beyond the horizon, with a
// stand-pat cut, until the position is quiet or the depth floor is reached.
#include <cassert>

#include "board/make_move.h"
#include "board/position.h"
#include "board/unmake_move.h"
#include "eval/evaluate.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "search/move_selection.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

// Killers carry a bonus here instead of a fixed score, so they stay among the captures.
inline void rescoreQuiescence(MoveEntry* list, MoveEntry* end, const PlyRecord& ply) {
    for (MoveEntry* e = list; e < end; ++e) {
        if (e->move == ply.hashMove)
            e->score = ORDER_HASH_MOVE;
        else if (e->move == ply.killer1)
            e->score = OrderScore(uint16_t(e->score) + QUIESCE_KILLER1_BONUS);
        else if (e->move == ply.killer2)
            e->score = OrderScore(uint16_t(e->score) + QUIESCE_KILLER2_BONUS);
    }
}

}  // namespace

// qd is 0 at the horizon and counts down below it; every table entry is deep enough here.
// Fail-soft, full window at every node; the caller checks the stop flag.
Score quiesce(int qd, int alpha, int beta) {
    assert(qd <= 0 && qd >= QUIESCENCE_FLOOR);
    PlyRecord& ply = *currentPly;
    noteSelectiveDepth(ply);

    // Step 1. The table answers or narrows the window.
    int tableScore;
    if (probeHash(qd, alpha, beta, tableScore)) return Score(tableScore);

    // Step 2. Stand pat when not in check; in check every evasion must be tried.
    Move bestMove = 0;
    int bound = BOUND_UPPER;
    MoveEntry* const list = (&ply - 1)->moveListEnd;
    ply.moveListEnd = list;
    computeCheckInfo(ply);
    const bool inCheck = ply.checkInfo.checkers != 0;
    int best;
    if (!inCheck) {
        best = evaluate();
        if (best > alpha) {
            if (best >= beta) return Score(best);
            alpha = best;
        }
        ply.moveListEnd = generateCaptures(list);
    } else {
        ply.moveListEnd = generateEvasions(list, ply.checkInfo);
        best = -SCORE_INFINITE;
    }
    MoveEntry* const end = ply.moveListEnd;
    saveUndoState();
    rescoreQuiescence(list, end, ply);
    // The lists here are short (captures, or evasions): fetch every child's bucket now.
    for (MoveEntry* e = list; e < end; ++e) prefetchBucketAfter(e->move);

    // Step 3. Try the moves, best ordering score first.
    const int mover = pos.sideToMove;
    for (MoveEntry* cursor = list; cursor < end; ++cursor) {
        selectByScore(cursor, end);
        const Move move = cursor->move;
        makeMove(move);
        prefetchBucket();
        ++currentPly;
        ++nodeCount;
        int s;
        if (isKingAttacked(move, mover, ply.checkInfo))
            s = -SCORE_INFINITE;
        else if (qd == QUIESCENCE_FLOOR)
            s = -evaluate();
        else if (isDeadMaterial())
            s = 0;
        else
            s = -quiesce(qd - 1, -beta, -alpha);
        --currentPly;
        unmakeMove(move);
        cursor->score = OrderScore(s);

        if (s > best) {
            if (s > alpha) {
                if (s >= beta) {
                    recordKiller(ply, move);
                    storeHash(move, s, 0, BOUND_LOWER);
                    return Score(s);
                }
                alpha = s;
                bound = BOUND_EXACT;
            }
            best = s;
            bestMove = move;
        }
    }

    // Step 4. Mated, or store what the moves proved.
    if (inCheck && best == -SCORE_INFINITE) {
        const int mated = iterationDepth - qd - MATE_SCORE;
        storeHash(RESULT_MATED, mated, 0, BOUND_EXACT);
        return Score(mated);
    }
    if (inCheck) {
        // Evasion nodes saw every legal move, so they count as one ply deep.
        storeHash(bestMove, best, 1, bound);
        return Score(best);
    }
    if (bestMove != 0) storeHash(bestMove, best, 0, bound);
    return Score(best);
}

}  // namespace vostil
