// Move helpers shared by the tests: text of a move, the legal moves of the current position
// in generation order, and the list start of the current ply (perft itself is the library's).
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
#include "movegen/perft.h"

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

}  // namespace vostil::testing
