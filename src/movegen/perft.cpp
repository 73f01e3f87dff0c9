// perft: the legal move tree walked with the search's own machinery.
#include "movegen/perft.h"

#include "movegen/generators.h"

namespace vostil {

MoveEntry* perftNode(MoveEntry* list) {
    PlyRecord& record = *currentPly;
    computeCheckInfo(record);
    MoveEntry* end = generateFullWidth(list, record.checkInfo);
    record.moveListEnd = end;
    saveUndoState();
    return end;
}

uint64_t perft(int depth, MoveEntry* list) {
    MoveEntry* end = perftNode(list);
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

}  // namespace vostil
