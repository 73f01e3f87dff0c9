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
    return perftDivide(depth, list, [](Move, uint64_t) {});
}

}  // namespace vostil
