// Legality of single moves: what the interface sends, what the book and the table offer, and
// whether a position has any legal move at all.
#include "board/make_move.h"
#include "board/unmake_move.h"
#include "movegen/legal_moves.h"

#include "board/position.h"
#include "common/move.h"
#include "movegen/check.h"
#include "movegen/generators.h"

namespace vostil {

bool isLegalMove(Move m) {
    if (m == 0 || moveKind(m) == MOVE_RESULT) return false;
    // A list of its own, so the search stack below is left alone.
    MoveEntry list[MAX_MOVES_PER_PLY];
    PlyRecord& ply = *currentPly;
    computeCheckInfo(ply);
    MoveEntry* end = generateFullWidth(list, ply.checkInfo);
    bool found = false;
    for (MoveEntry* e = list; e != end; ++e)
        if (e->move == m) found = true;
    if (!found) return false;
    const int mover = pos.sideToMove;
    saveUndoState();
    makeMove(m);
    const bool attacked = isKingAttacked(m, mover);
    unmakeMove(m);
    return !attacked;
}

Move firstLegalMove() {
    MoveEntry list[MAX_MOVES_PER_PLY];
    PlyRecord& ply = *currentPly;
    computeCheckInfo(ply);
    MoveEntry* end = generateFullWidth(list, ply.checkInfo);
    const int mover = pos.sideToMove;
    saveUndoState();
    for (MoveEntry* e = list; e != end; ++e) {
        makeMove(e->move);
        const bool attacked = isKingAttacked(e->move, mover);
        unmakeMove(e->move);
        if (!attacked) return e->move;
    }
    return 0;
}

}  // namespace vostil
