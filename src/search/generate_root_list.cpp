// The root list of a search: the full-width list, cut down to the moves the interface allows.
#include <algorithm>
#include <cassert>

#include "board/position.h"
#include "movegen/generators.h"
#include "search/search.h"

namespace vostil {

MoveEntry* generateRootList(MoveEntry* list, const CheckInfo& checkInfo) {
    MoveEntry* end = generateFullWidth(list, checkInfo);
    if (!rootRestricted()) return end;
    const Move* const choices = rootChoices;
    const Move* const choicesEnd = choices + rootChoiceCount;
    const auto chosen = [choices, choicesEnd](const MoveEntry& e) {
        return std::find(choices, choicesEnd, Move(e.move)) != choicesEnd;
    };
    // Choices that are no moves of this position leave the choice to the search, rather than
    // have a position with legal moves taken for a lost or drawn one.
    if (std::none_of(list, end, chosen)) return end;
    return std::remove_if(list, end, [&chosen](const MoveEntry& e) { return !chosen(e); });
}

bool ensureRootList() {
    assert(currentPly == PlyRecords);
    PlyRecord& root = PlyRecords[0];
    if (root.moveListEnd != nullptr) return false;
    root.moveListEnd = generateRootList(MoveStack, root.checkInfo);
    saveUndoState();
    return true;
}

}  // namespace vostil
