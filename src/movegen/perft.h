// Perft: the leaf count of the legal move tree, the proof of the move generator.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "common/move.h"
#include "movegen/check.h"

namespace vostil {

// Writes the current node's moves into `list` (check info, the generator the node needs)
// and records the undo snapshot; returns the end of the list.
MoveEntry* perftNode(MoveEntry* list);

// Counts the legal leaves `depth` plies below the current position, walking the tree exactly
// as the search does (check info, the generator the node needs, the undo snapshot, make, the
// legality test for the side that moved, unmake). `list` is where this node's moves go.
uint64_t perft(int depth, MoveEntry* list);

// The same count split by root move: report(move, count) for each legal root move in
// generation order; returns the total.
template <class Report>
uint64_t perftDivide(int depth, MoveEntry* list, Report report) {
    MoveEntry* end = perftNode(list);
    const CheckInfo& before = currentPly->checkInfo;
    const int mover = pos.sideToMove;
    uint64_t total = 0;
    for (MoveEntry* entry = list; entry != end; ++entry) {
        const Move m = entry->move;
        makeMove(m);
        ++currentPly;
        if (!isKingAttacked(m, mover, before)) {
            const uint64_t nodes = depth > 1 ? perft(depth - 1, end) : 1;
            report(m, nodes);
            total += nodes;
        }
        --currentPly;
        unmakeMove(m);
    }
    return total;
}

}  // namespace vostil
