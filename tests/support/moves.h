// Move helpers shared by the tests: text of a move, the legal moves of the current position
// in generation order, and perft walked the way the search walks the tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/position.h"
#include "common/move.h"
#include "common/move_text.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "movegen/legal_moves.h"

namespace vostil::testing {

inline std::string moveText(Move m) {
    char text[8];
    formatCoordinateMove(text, m);
    return text;
}

// Every legal move of the current position, in the order the generator writes them.
inline std::vector<Move> legalMoves() {
    MoveEntry list[MAX_MOVES_PER_PLY];
    computeCheckInfo(*currentPly);
    MoveEntry* end = generateFullWidth(list, currentPly->checkInfo);
    std::vector<Move> moves;
    for (MoveEntry* e = list; e != end; ++e)
        if (isLegalMove(e->move)) moves.push_back(e->move);
    return moves;
}

// Where the current ply writes its list: past every list of the plies below.
inline MoveEntry* listStart() { return MoveStack + MAX_MOVES_PER_PLY * (currentPly - PlyRecords); }

// Leaf count of the legal move tree, walked with the engine's own machinery.
inline uint64_t perft(int depth, MoveEntry* list) {
    PlyRecord& record = *currentPly;
    computeCheckInfo(record);
    MoveEntry* end = generateFullWidth(list, record.checkInfo);
    record.moveListEnd = end;
    saveUndoState();
    const int mover = pos.sideToMove;
    uint64_t nodes = 0;
    for (MoveEntry* entry = list; entry != end; ++entry) {
        const Move m = entry->move;
        makeMove(m);
        ++currentPly;
        if (!isKingAttacked(m, mover)) nodes += depth > 1 ? perft(depth - 1, end) : 1;
        --currentPly;
        unmakeMove(m);
    }
    return nodes;
}

}  // namespace vostil::testing
