// Perft: the leaf count of the legal move tree, the proof of the move generator.
#pragma once

#include <cstdint>

#include "board/make_move.h"
#include "board/position.h"
#include "board/unmake_move.h"
#include "common/move.h"
#include "movegen/check.h"

namespace vostil {

// Writes the current node's moves into `list` (check info, the generator the node needs)
// and records the undo snapshot; returns the end of the list.
MoveEntry* perftNode(MoveEntry* list);

// Counts the legal leaves `depth` plies below the current position, walking the tree exactly
// as the search does (check info, the generator the node needs, the undo snapshot, make,
// currentPly forward, the legality test for the side that moved, currentPly back, unmake).
// A leaf has no node of its own, so at the last ply currentPly stays where it is: the move is
// made, tested and taken back. `list` is where this node's moves go.
uint64_t perft(int depth, MoveEntry* list);

// The same count split by root move: report(move, count) for each legal root move in
// generation order; returns the total.
template <class Report>
uint64_t perftDivide(int depth, MoveEntry* list, Report report) {
    MoveEntry* const end = perftNode(list);
    const CheckInfo& before = currentPly->checkInfo;
    const int mover = pos.sideToMove;
    uint64_t total = 0;
    if (depth == 1) {
        // Counted without a branch on the answer, which no predictor can guess.
        for (MoveEntry* entry = list; entry != end; ++entry) {
            const Move m = entry->move;
            makeMove(m);
            const bool legal = !isKingAttacked(m, mover, before);
            unmakeMove(m);
            if (legal) report(m, 1);
            total += legal;
        }
        return total;
    }
    for (MoveEntry* entry = list; entry != end; ++entry) {
        const Move m = entry->move;
        makeMove(m);
        ++currentPly;
        if (!isKingAttacked(m, mover, before)) {
            const uint64_t nodes = perft(depth - 1, end);
            report(m, nodes);
            total += nodes;
        }
        --currentPly;
        unmakeMove(m);
    }
    return total;
}

}  // namespace vostil
